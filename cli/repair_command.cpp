// fendrik repair: the pieces checked against the recovery files beside them, and the damaged, missing and
// misnamed ones rebuilt; nothing is written when they cannot all be.
#include <ostream>

#include "cli/command_support.h"
#include "cli/recovery_report.h"
#include "platform/file.h"

int RunRepair(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::string path = EnginePath(options.path);
    const std::optional<par2::CheckResult> result = CheckAgainstIndex(path, console, messenger);
    if (!result)
        return kExitFailure;
    if (result->outcome == par2::CheckOutcome::NoMatch || result->outcome == par2::CheckOutcome::TwoSets) {
        messenger.Show(SetChoiceText(*result) + "\nNothing was rebuilt.", Icon::Hand);
        return kExitFailure;
    }
    if (result->outcome != par2::CheckOutcome::Checked) {
        messenger.Show(result->outcome == par2::CheckOutcome::NoIndex
                           ? "No recovery files of this set were found beside " + NamePart(path) + "."
                           : "The recovery files beside " + NamePart(path) +
                                 " lack the set's description; they cannot rebuild anything.",
                       Icon::Hand);
        return kExitFailure;
    }
    const par2::SetCheck& check = result->check;
    // A set that is whole, or that is rebuilt, is a success, which --quiet leaves untold.
    if (!console.Quiet() || !check.Rebuildable()) {
        std::ostream& out = console.Streams().out;
        for (const std::string& line : PieceStateLines(check))
            out << line << "\n";
        out << RecoverySummary(check) << "\n";
    }
    if (check.Complete())
        return kExitOk;
    if (!check.Rebuildable())
        return kExitNotRebuildable;
    return RebuildWithProgress(check, console, messenger) ? kExitOk : kExitFailure;
}
