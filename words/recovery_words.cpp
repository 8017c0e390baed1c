#include "words/recovery_words.h"
#include <algorithm>
#include <map>

#include "platform/file.h"

std::string RecoveryOutcomeText(const RecoveryOutcome& outcome) {
    return "Recovery files: " + std::to_string(outcome.files) + " (" + std::to_string(outcome.bytes) +
           " bytes); they restore up to " + std::to_string(outcome.piecesRestored) + " lost or damaged piece" +
           (outcome.piecesRestored == 1 ? "." : "s.");
}

namespace {

std::string Plural(uint32_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Names(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : ", ") + NamePart(path);
    return text;
}

std::string Ranges(const par2::PieceCheck& piece, const par2::RecoverySet& set) {
    std::string text;
    for (const par2::ByteRange& r : par2::BadRanges(piece, set))
        text += (text.empty() ? "bytes " : ", ") + std::to_string(r.begin) + "-" + std::to_string(r.end - 1);
    return text;
}

} // namespace

std::vector<std::string> PieceStateLines(const par2::SetCheck& check) {
    std::vector<std::string> lines;
    for (const par2::PieceCheck& piece : check.pieces) {
        const par2::SetFile& file = check.set.files[piece.file];
        const std::string slices =
            " (" + std::to_string(piece.BadSlices()) + " of " + std::to_string(file.slices.size()) + " slices)";
        switch (piece.state) {
        case par2::PieceCondition::Intact:
            break;
        case par2::PieceCondition::Missing:
            lines.push_back("missing: " + file.name);
            break;
        case par2::PieceCondition::Damaged:
            lines.push_back("damaged: " + file.name + ": " +
                            (piece.BadSlices()
                                 ? Ranges(piece, check.set) + slices
                                 : std::to_string(piece.presentLength - file.length) + " bytes more than recorded"));
            break;
        case par2::PieceCondition::Truncated:
            lines.push_back("truncated: " + file.name + ": " + std::to_string(piece.presentLength) + " of " +
                            std::to_string(file.length) + " bytes, " + Ranges(piece, check.set) + slices);
            break;
        case par2::PieceCondition::Renamed:
            lines.push_back("renamed: " + file.name + " found as " + NamePart(piece.foundPath));
            break;
        }
    }
    for (const std::string& name : check.undescribed)
        lines.push_back("missing: " + name + " (the recovery files do not describe it)");
    for (const auto& [path, packets] : check.set.damagedFiles)
        lines.push_back("damaged recovery file: " + NamePart(path) + " (" + Plural(packets, "packet") + " unreadable)");
    if (!check.set.damagedFiles.empty())
        lines.push_back("the intact recovery slices restore up to " + Plural(check.SparePieces(), "more lost piece"));
    return lines;
}

std::string RecoverySummary(const par2::SetCheck& check) {
    using par2::PieceCondition;
    const uint32_t damaged = check.Count(PieceCondition::Damaged) + check.Count(PieceCondition::Truncated);
    const uint32_t missing = check.Count(PieceCondition::Missing), renamed = check.Count(PieceCondition::Renamed);
    const uint32_t present = static_cast<uint32_t>(check.set.recovery.size());
    // A set over other files besides the pieces counts files.
    const bool onlyPieces =
        std::all_of(check.set.files.begin(), check.set.files.end(), [](const par2::SetFile& f) { return f.isPiece; });
    if (check.Complete())
        return "all " + Plural(static_cast<uint32_t>(check.pieces.size()), onlyPieces ? "piece" : "file") +
               " intact (" + Plural(present, "recovery slice") + " present)";
    const uint32_t undescribed = static_cast<uint32_t>(check.undescribed.size());
    const char* them = damaged + missing + renamed + undescribed == 1 ? "it" : "them";
    std::string what;
    if (damaged)
        what = Plural(damaged, "piece") + " damaged";
    if (missing)
        what += (what.empty() ? Plural(missing, "piece") : ", " + std::to_string(missing)) + " missing";
    if (renamed)
        what += (what.empty() ? Plural(renamed, "piece") : ", " + std::to_string(renamed)) + " renamed";
    if (undescribed)
        what += (what.empty() ? Plural(undescribed, "piece") : ", " + std::to_string(undescribed)) +
                " missing that the recovery files do not describe";
    if (undescribed)
        return what + ": the recovery files cannot rebuild " + them;
    if (!check.Rebuildable())
        return what + ": the recovery files cannot rebuild " + them + " (needs " +
               Plural(check.slicesNeeded, "recovery slice") + ", " + std::to_string(present) +
               " present: " + std::to_string(check.slicesNeeded - present) + " more)";
    return what + ": the recovery files can rebuild " + them + " (needs " + std::to_string(check.slicesNeeded) +
           " of " + Plural(present, "recovery slice") + ")";
}

std::string PiecesToRebuild(const par2::SetCheck& check, bool piecesOnly) {
    std::string names;
    for (const par2::PieceCheck& piece : check.pieces)
        if (piece.state != par2::PieceCondition::Intact && (!piecesOnly || check.set.files[piece.file].isPiece))
            names += (names.empty() ? "" : ", ") + check.set.files[piece.file].name;
    return names;
}

namespace {

// " (copied from _Split#002; the whole _Split#002 that was there kept as _Split#001.damaged)"
std::string RebuiltDetail(const par2::RebuiltPiece& piece) {
    std::string detail;
    if (!piece.copiedOf.empty())
        detail = "copied from " + NamePart(piece.copiedOf);
    if (!piece.keptAs.empty())
        detail += (detail.empty() ? "" : "; ") +
                  (piece.keptCopyOf.empty() ? std::string("damaged original")
                                            : "the whole " + NamePart(piece.keptCopyOf) + " that was there") +
                  " kept as " + NamePart(piece.keptAs);
    return detail.empty() ? "" : " (" + detail + ")";
}

} // namespace

std::vector<std::string> LeftoverLines(const par2::RebuildResult& result) {
    std::vector<std::string> lines;
    for (const std::string& path : result.removedLeftovers)
        lines.push_back("removed: " + NamePart(path) + " (left by a stopped rebuild)");
    return lines;
}

std::string SetChoiceText(const par2::CheckResult& result) {
    if (result.outcome == par2::CheckOutcome::TwoSets)
        return "Two recovery sets beside the pieces describe different pieces: " + Names(result.check.set.indexFiles) +
               " and " + Names(result.otherIndexFiles) +
               ". Move the one that does not belong to these pieces elsewhere.";
    return "The recovery files " + Names(result.check.set.indexFiles) +
           " describe other files than the pieces beside them, perhaps those of an earlier split.";
}

std::vector<std::string> RebuiltLines(const par2::RebuildResult& result) {
    std::vector<std::string> lines;
    for (const par2::RebuiltPiece& piece : result.pieces) {
        lines.push_back("rebuilt: " + NamePart(piece.path) + RebuiltDetail(piece));
    }
    if (result.rejectedSlices)
        lines.push_back(Plural(result.rejectedSlices, "recovery slice") +
                        " set aside: the first choice of slices could not be solved, others were used");
    return lines;
}

std::string RebuildFailureText(const par2::RebuildResult& result, const par2::SetCheck& check) {
    switch (result.outcome) {
    case par2::RebuildOutcome::NotEnough:
        return RecoverySummary(check) + "\nNothing was written.";
    case par2::RebuildOutcome::Singular:
        return "The recovery slices present cannot be solved for the missing slices, in any choice of them.\n"
               "Nothing was written.";
    case par2::RebuildOutcome::OutOfMemory:
        return "Not enough memory to rebuild the pieces.\nNothing was written.";
    case par2::RebuildOutcome::Mismatch:
        return "The rebuilt " + NamePart(result.mismatched) +
               " does not match its recorded MD5; it was removed and no piece was changed.";
    case par2::RebuildOutcome::Stopped:
        return "Stopped: no piece was rebuilt.";
    case par2::RebuildOutcome::CommitFailed: {
        std::string text = "Can't rebuild the pieces\n" + result.failure;
        if (result.pieces.empty())
            return text + "\nNo piece was changed.";
        text += "\nThese pieces were changed before it, and could not be put back:";
        for (const par2::RebuiltPiece& piece : result.pieces)
            text += "\n" + NamePart(piece.path) +
                    (piece.inPlace ? ": rebuilt" + RebuiltDetail(piece)
                                   : ": moved to " + NamePart(piece.keptAs) + ", its rebuilt copy is " +
                                         NamePart(par2::RebuildingName(piece.path)));
        return text;
    }
    case par2::RebuildOutcome::Rebuilt:
    case par2::RebuildOutcome::NothingToDo:
    case par2::RebuildOutcome::Ready:
        break;
    }
    return "";
}

uint32_t MoreRecoveryFiles(const par2::SetCheck& check) {
    const uint32_t present = static_cast<uint32_t>(check.set.recovery.size());
    if (check.slicesNeeded <= present)
        return 0;
    // As many slices per file as the fullest recovery file present holds.
    std::map<std::string, uint32_t> perFile;
    uint32_t fullest = 1;
    for (const par2::RecoverySliceAt& slice : check.set.recovery)
        fullest = std::max(fullest, ++perFile[slice.path]);
    return (check.slicesNeeded - present + fullest - 1) / fullest;
}

std::string CheckPiecesText(const par2::CheckResult& result) {
    if (result.outcome == par2::CheckOutcome::NoIndex)
        return "No recovery files of this set were found beside its pieces.";
    if (result.outcome == par2::CheckOutcome::IndexIncomplete)
        return "The recovery files beside the pieces lack the set's description; they cannot check the pieces.";
    if (result.outcome == par2::CheckOutcome::NoMatch || result.outcome == par2::CheckOutcome::TwoSets)
        return SetChoiceText(result);
    std::string text;
    for (const std::string& line : PieceStateLines(result.check))
        text += line + "\n";
    return text + RecoverySummary(result.check);
}

std::string RebuildQuestion(const par2::SetCheck& check) {
    const std::string pieces = PiecesToRebuild(check, true);
    return "Damaged or missing pieces:\n" + pieces + "\n\n" + RecoverySummary(check) + ".\n\nRebuild " +
           (pieces.find(',') == std::string::npos ? "it" : "them") + ", then join?";
}

std::string NotRebuildableText(const par2::SetCheck& check) {
    const uint32_t files = MoreRecoveryFiles(check);
    // Pieces the set does not describe are beyond any number of its recovery files.
    const std::string more =
        files == 0 ? "" : ".\nIt would take about " + Plural(files, "more recovery file") + " like those present";
    return "Damaged or missing pieces:\n" + PiecesToRebuild(check) + "\n\n" + RecoverySummary(check) + more +
           ".\nNothing was joined.";
}
