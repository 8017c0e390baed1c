// fendrik verify --json: what verify finds, as one JSON object for scripts, in the manner of info --json:
// each piece's state (checked against the recovery files when they are there), the CRC-32 of the data a
// join would write, and the verdict. The exit status is the text verify's.
#include <ostream>
#include <sstream>

#include "cat/join_steps.h"
#include "cat/joined_crc.h"
#include "cli/checked_crc.h"
#include "cli/command_support.h"
#include "cli/json_text.h"
#include "cli/progress_line.h"
#include "cli/recovery_report.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "recovery/piece_check.h"

namespace {

const char* StateWord(par2::PieceCondition state) {
    switch (state) {
    case par2::PieceCondition::Intact:
        return "intact";
    case par2::PieceCondition::Missing:
        return "missing";
    case par2::PieceCondition::Damaged:
        return "damaged";
    case par2::PieceCondition::Truncated:
        return "truncated";
    case par2::PieceCondition::Renamed:
        break;
    }
    return "renamed";
}

// One piece as the recovery files judge it; damaged and truncated ones with their bad byte ranges
// [begin, end) within the recorded length.
std::string CheckedPieceJson(const par2::PieceCheck& piece, const par2::RecoverySet& set) {
    const par2::SetFile& file = set.files[piece.file];
    std::ostringstream json;
    json << "{\"name\": " << JsonString(file.name) << ", \"state\": \"" << StateWord(piece.state) << "\"";
    if (piece.state == par2::PieceCondition::Damaged || piece.state == par2::PieceCondition::Truncated) {
        json << ", \"length\": " << piece.presentLength << ", \"recorded_length\": " << file.length
             << ", \"bad_slices\": " << piece.BadSlices() << ", \"slices\": " << file.slices.size()
             << ", \"damaged_bytes\": [";
        const std::vector<par2::ByteRange> ranges = par2::BadRanges(piece, set);
        for (size_t i = 0; i < ranges.size(); ++i)
            json << (i ? ", " : "") << "[" << ranges[i].begin << ", " << ranges[i].end << "]";
        json << "]";
    }
    if (piece.state == par2::PieceCondition::Renamed)
        json << ", \"found_as\": " << JsonString(NamePart(piece.foundPath));
    return json.str() + "}";
}

std::string CheckedPiecesJson(const par2::SetCheck& check) {
    std::string json = "[";
    for (size_t i = 0; i < check.pieces.size(); ++i)
        json += (i ? ", " : "") + CheckedPieceJson(check.pieces[i], check.set);
    return json + "]";
}

// Without recovery files a piece is only there or not: "present" says no more than that.
std::string SurveyedPiecesJson(const SetSurvey& set) {
    std::string json = "[";
    size_t present = 0, missing = 0;
    while (present < set.pieces.size() || missing < set.missing.size()) {
        const bool takeMissing =
            missing < set.missing.size() &&
            (present == set.pieces.size() || set.missing[missing] < PiecePartsOf(set.pieces[present].path).number);
        json += json.size() > 1 ? ", " : "";
        if (takeMissing)
            json += "{\"name\": " + JsonString(PieceName(set.missing[missing++])) + ", \"state\": \"missing\"}";
        else
            json += "{\"name\": " + JsonString(NamePart(set.pieces[present++].path)) + ", \"state\": \"present\"}";
    }
    return json + "]";
}

struct Verdict {
    const char* word;
    int status;
};

// Every key in every answer, null where verify did not get that far, so that a script reads one form.
struct Report {
    bool recoveryFiles = false;
    std::string originalName = "null", crc = "null", computedCrc = "null", bytes = "null";
    std::string pieces = "[]";
};

int Print(Console& console, const Report& report, const Verdict& verdict) {
    if (console.Quiet() && verdict.status == kExitOk)
        return verdict.status;
    console.Streams().out << "{\"recovery_files\": " << (report.recoveryFiles ? "true" : "false")
                          << ", \"original_name\": " << report.originalName << ", \"crc32\": " << report.crc
                          << ", \"computed_crc32\": " << report.computedCrc << ", \"bytes\": " << report.bytes
                          << ", \"pieces\": " << report.pieces << ", \"verdict\": \"" << verdict.word << "\"}\n";
    return verdict.status;
}

} // namespace

int RunVerifyJson(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::string path = EnginePath(options.path);
    const std::optional<par2::CheckResult> checked = CheckAgainstIndex(path, console, messenger);
    if (!checked)
        return kExitFailure;
    if (checked->outcome == par2::CheckOutcome::IndexIncomplete)
        console.Message("The recovery files lack the set's description: the pieces are checked without them.");
    Report report;
    report.recoveryFiles = checked->outcome == par2::CheckOutcome::Checked;
    // Damaged pieces are named, and what they record is not read: the first may be among them.
    if (report.recoveryFiles && !checked->check.Complete()) {
        report.pieces = CheckedPiecesJson(checked->check);
        return Print(console, report,
                     checked->check.Rebuildable() ? Verdict{"rebuildable", kExitInconsistent}
                                                  : Verdict{"not_rebuildable", kExitNotRebuildable});
    }
    const std::optional<SetSurvey> set = SurveySet(path, messenger);
    if (!set)
        return kExitFailure;
    report.pieces = report.recoveryFiles ? CheckedPiecesJson(checked->check) : SurveyedPiecesJson(*set);
    if (set->header != SetHeader::None) {
        report.originalName = JsonString(set->recordedName);
        report.crc = JsonString(set->recordedCrc);
    }
    if (!set->Complete())
        return Print(console, report, {"incomplete", kExitInconsistent});
    const CrcJobResult crc = JoinedCrc(*set, *checked, console);
    if (crc.end != CrcJobEnd::Done) {
        messenger.Show(crc.end == CrcJobEnd::Failed ? "Can't calculate CRC32\n" + crc.failure
                                                    : std::string("Stopped: the set was not checked."),
                       Icon::Hand);
        return kExitFailure;
    }
    const std::string computed = CrcText(crc.crc);
    report.computedCrc = JsonString(computed);
    report.bytes = std::to_string(crc.bytes);
    if (set->header == SetHeader::None)
        return Print(console, report, {"no_crc", kExitOk});
    return Print(console, report,
                 computed == set->recordedCrc ? Verdict{"ok", kExitOk} : Verdict{"mismatch", kExitInconsistent});
}
