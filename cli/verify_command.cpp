// fendrik verify: every piece present, and the CRC-32 of the data a join would write
// against the recorded one, without writing anything.
#include <ostream>

#include "cat/joined_crc.h"
#include "cli/checked_crc.h"
#include "cli/command_support.h"
#include "cli/progress_line.h"
#include "cli/recovery_report.h"
#include "cli/set_report.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/file.h"

int RunVerify(const CliOptions& options, Console& console, Messenger& messenger) {
    // With recovery files beside the set, each piece is checked against them first and named when bad.
    const std::optional<par2::CheckResult> checked = CheckAgainstIndex(EnginePath(options.path), console, messenger);
    if (!checked)
        return kExitFailure;
    if (checked->outcome == par2::CheckOutcome::IndexIncomplete)
        console.Message("The recovery files lack the set's description: the pieces are checked without them.");
    if (checked->outcome == par2::CheckOutcome::NoMatch || checked->outcome == par2::CheckOutcome::TwoSets)
        console.Message(SetChoiceText(*checked) + " The pieces are checked without them.");
    if (checked->outcome == par2::CheckOutcome::Checked) {
        // Every piece intact is a success, which --quiet leaves untold.
        if (!console.Quiet() || !checked->check.Complete()) {
            std::ostream& out = console.Streams().out;
            for (const std::string& line : PieceStateLines(checked->check))
                out << line << "\n";
            out << RecoverySummary(checked->check) << "\n";
        }
        if (!checked->check.Complete())
            return checked->check.Rebuildable() ? kExitInconsistent : kExitNotRebuildable;
    }
    const std::optional<SetSurvey> set = SurveySet(EnginePath(options.path), messenger);
    if (!set)
        return kExitFailure;
    std::ostream& out = console.Streams().out;
    if (!set->Complete()) {
        for (int n : set->missing)
            out << "missing: " << PieceName(n) << "\n";
        out << "INCOMPLETE: " << set->missing.size() << " of " << set->missing.size() + set->pieces.size()
            << " pieces missing (" << MissingPieceNames(*set) << "); the data cannot match\n";
        return kExitInconsistent;
    }

    CrcJobResult crc = JoinedCrc(*set, *checked, console);
    if (crc.end == CrcJobEnd::Failed) {
        messenger.Show("Can't calculate CRC32\n" + crc.failure, Icon::Hand);
        return kExitFailure;
    }
    if (crc.end == CrcJobEnd::Stopped) {
        messenger.Show("Stopped: the set was not checked.", Icon::Exclamation);
        return kExitFailure;
    }
    const std::string computed = CrcText(crc.crc);
    const std::string pieces = std::to_string(set->pieces.size()) + " pieces, " + std::to_string(crc.bytes) + " bytes";
    // A verdict of success is what --quiet leaves out; the exit status tells it.
    if (console.Quiet() && (set->header == SetHeader::None || computed == set->recordedCrc))
        return kExitOk;
    if (set->header == SetHeader::None) {
        out << "COMPLETE: " << pieces << ", CRC-32 " << computed
            << "; split without CRC, so the data cannot be checked against the original\n";
        return kExitOk;
    }
    if (computed != set->recordedCrc) {
        out << "MISMATCH: " << set->recordedName << ": " << pieces << ", CRC-32 " << computed << " but "
            << set->recordedCrc << " recorded; the data does not match\n";
        return kExitInconsistent;
    }
    out << "OK: " << set->recordedName << ": " << pieces << ", CRC-32 " << computed << " as recorded\n";
    return kExitOk;
}
