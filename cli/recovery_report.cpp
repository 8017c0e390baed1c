#include "cli/recovery_report.h"

#include <ostream>

#include "cli/console.h"
#include "cli/progress_line.h"
#include "platform/file.h"

std::optional<par2::CheckResult> CheckAgainstIndex(const std::string& piecePath, Console& console,
                                                   Messenger& messenger) {
    try {
        ProgressLine meter(console, "Check");
        par2::CheckResult result = par2::CheckPieces(FolderPart(piecePath), meter.Callback());
        if (result.outcome == par2::CheckOutcome::Stopped) {
            messenger.Show("Stopped: the pieces were not checked.", Icon::Exclamation);
            return std::nullopt;
        }
        if (result.outcome == par2::CheckOutcome::Refused) {
            messenger.Tell(result.refusal);
            return std::nullopt;
        }
        return result;
    } catch (const FileException& error) {
        messenger.Show("Can't check the pieces\n" + error.Description(), Icon::Hand);
        return std::nullopt;
    }
}

std::optional<par2::PreparedRebuild> PrepareWithProgress(const par2::SetCheck& check, par2::RebuildScope scope,
                                                         Console& console, Messenger& messenger) {
    std::optional<par2::PreparedRebuild> prepared;
    try {
        ProgressLine meter(console, "Rebuild");
        prepared.emplace(par2::PrepareRebuild(check, meter.Callback(), par2::kDefaultRebuildMemory, scope));
    } catch (const FileException& error) {
        messenger.Show("Can't rebuild the pieces\n" + error.Description() + "\nNo piece was changed.", Icon::Hand);
        return std::nullopt;
    }
    for (const std::string& line : LeftoverLines(prepared->result))
        console.Message(line);
    if (prepared->result.outcome != par2::RebuildOutcome::Ready &&
        prepared->result.outcome != par2::RebuildOutcome::NothingToDo) {
        messenger.Show(RebuildFailureText(prepared->result, check), Icon::Hand);
        return std::nullopt;
    }
    return prepared;
}

bool CommitRebuild(par2::PreparedRebuild& prepared, const par2::SetCheck& check, Console& console,
                   Messenger& messenger) {
    const par2::RebuildResult result = prepared.Commit();
    if (result.outcome == par2::RebuildOutcome::CommitFailed) {
        messenger.Show(RebuildFailureText(result, check), Icon::Hand);
        return false;
    }
    if (!console.Quiet())
        for (const std::string& line : RebuiltLines(result))
            console.Result(line);
    return true;
}

bool RebuildWithProgress(const par2::SetCheck& check, Console& console, Messenger& messenger) {
    std::optional<par2::PreparedRebuild> prepared =
        PrepareWithProgress(check, par2::RebuildScope::EveryFile, console, messenger);
    return prepared && CommitRebuild(*prepared, check, console, messenger);
}
