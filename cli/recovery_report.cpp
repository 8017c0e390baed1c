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
        return result;
    } catch (const FileException& error) {
        messenger.Show("Can't check the pieces\n" + error.Description(), Icon::Hand);
        return std::nullopt;
    }
}

bool RebuildWithProgress(const par2::SetCheck& check, Console& console, Messenger& messenger) {
    par2::RebuildResult result;
    try {
        ProgressLine meter(console, "Rebuild");
        result = par2::RebuildPieces(check, meter.Callback());
    } catch (const FileException& error) {
        messenger.Show("Can't rebuild the pieces\n" + error.Description() + "\nNo piece was changed.", Icon::Hand);
        return false;
    }
    if (result.outcome != par2::RebuildOutcome::Rebuilt && result.outcome != par2::RebuildOutcome::NothingToDo) {
        messenger.Show(RebuildFailureText(result, check), Icon::Hand);
        return false;
    }
    if (!console.Quiet())
        for (const std::string& line : RebuiltLines(result))
            console.Result(line);
    return true;
}
