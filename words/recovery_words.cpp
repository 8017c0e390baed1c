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
        case par2::PieceState::Intact:
            break;
        case par2::PieceState::Missing:
            lines.push_back("missing: " + file.name);
            break;
        case par2::PieceState::Damaged:
            lines.push_back("damaged: " + file.name + ": " +
                            (piece.BadSlices()
                                 ? Ranges(piece, check.set) + slices
                                 : std::to_string(piece.presentLength - file.length) + " bytes more than recorded"));
            break;
        case par2::PieceState::Truncated:
            lines.push_back("truncated: " + file.name + ": " + std::to_string(piece.presentLength) + " of " +
                            std::to_string(file.length) + " bytes, " + Ranges(piece, check.set) + slices);
            break;
        case par2::PieceState::Renamed:
            lines.push_back("renamed: " + file.name + " found as " + NamePart(piece.foundPath));
            break;
        }
    }
    return lines;
}

std::string RecoverySummary(const par2::SetCheck& check) {
    using par2::PieceState;
    const uint32_t damaged = check.Count(PieceState::Damaged) + check.Count(PieceState::Truncated);
    const uint32_t missing = check.Count(PieceState::Missing), renamed = check.Count(PieceState::Renamed);
    const uint32_t present = static_cast<uint32_t>(check.set.recovery.size());
    if (check.Complete())
        return "all " + Plural(static_cast<uint32_t>(check.pieces.size()), "piece") + " intact (" +
               Plural(present, "recovery slice") + " present)";
    std::string what;
    if (damaged)
        what = Plural(damaged, "piece") + " damaged";
    if (missing)
        what += (what.empty() ? Plural(missing, "piece") : ", " + std::to_string(missing)) + " missing";
    if (renamed)
        what += (what.empty() ? Plural(renamed, "piece") : ", " + std::to_string(renamed)) + " renamed";
    if (!check.Rebuildable())
        return what + ": the recovery files cannot rebuild them (needs " +
               Plural(check.slicesNeeded, "recovery slice") + ", " + std::to_string(present) +
               " present: " + std::to_string(check.slicesNeeded - present) + " more)";
    return what + ": the recovery files can rebuild them (needs " + std::to_string(check.slicesNeeded) + " of " +
           Plural(present, "recovery slice") + ")";
}

std::string PiecesToRebuild(const par2::SetCheck& check) {
    std::string names;
    for (const par2::PieceCheck& piece : check.pieces)
        if (piece.state != par2::PieceState::Intact)
            names += (names.empty() ? "" : ", ") + check.set.files[piece.file].name;
    return names;
}

std::vector<std::string> RebuiltLines(const par2::RebuildResult& result) {
    std::vector<std::string> lines;
    for (const par2::RebuiltPiece& piece : result.pieces) {
        std::string line = "rebuilt: " + NamePart(piece.path);
        if (!piece.copiedOf.empty())
            line += " (copied from " + NamePart(piece.copiedOf) + ")";
        if (!piece.keptAs.empty())
            line += " (damaged original kept as " + NamePart(piece.keptAs) + ")";
        lines.push_back(line);
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
    case par2::RebuildOutcome::Rebuilt:
    case par2::RebuildOutcome::NothingToDo:
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
    std::string text;
    for (const std::string& line : PieceStateLines(result.check))
        text += line + "\n";
    return text + RecoverySummary(result.check);
}

std::string RebuildQuestion(const par2::SetCheck& check) {
    return "Damaged or missing pieces:\n" + PiecesToRebuild(check) + "\n\n" + RecoverySummary(check) +
           ".\n\nRebuild them, then join?";
}

std::string NotRebuildableText(const par2::SetCheck& check) {
    const uint32_t files = MoreRecoveryFiles(check);
    return "Damaged or missing pieces:\n" + PiecesToRebuild(check) + "\n\n" + RecoverySummary(check) +
           ".\nIt would take about " + Plural(files, "more recovery file") +
           " like those present.\nNothing was joined.";
}
