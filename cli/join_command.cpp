// fendrik join: the set found from any of its pieces, refused when incomplete,
// its output never replaced without a Yes, then the join engine.
#include <ostream>

#include "cat/cat_files.h"
#include "cli/command_support.h"
#include "cli/join_output.h"
#include "cli/progress_line.h"
#include "cli/recovery_report.h"
#include "cli/set_report.h"

int RunJoin(const CliOptions& options, Console& console, Messenger& messenger) {
    JoinOutput output(options, console);
    // Pieces that the recovery files beside the set can rebuild are rebuilt before the join.
    const std::optional<par2::CheckResult> checked = CheckAgainstIndex(EnginePath(options.path), console, messenger);
    if (!checked)
        return kExitFailure;
    if (checked->outcome == par2::CheckOutcome::Checked && !checked->check.Complete()) {
        const par2::SetCheck& check = checked->check;
        if (!check.Rebuildable()) {
            messenger.Show(RecoverySummary(check) + "\nNothing was joined.", Icon::Hand);
            return kExitNotRebuildable;
        }
        if (!output.MayRebuild(PiecesToRebuild(check), messenger))
            return kExitInconsistent;
        console.Message("Rebuilding " + PiecesToRebuild(check) + " from the recovery files");
        if (!RebuildWithProgress(check, console, messenger))
            return kExitFailure;
    }
    const std::optional<SetSurvey> set = SurveySet(EnginePath(options.path), messenger);
    if (!set)
        return kExitFailure;
    if (!set->Complete()) {
        messenger.Show("The set is incomplete, missing: " + MissingPieceNames(*set) + "\nNothing was joined.",
                       Icon::Hand);
        return kExitInconsistent;
    }

    CatJob job;
    if (!output.Prepare(job, messenger))
        return kExitFailure;
    for (const DiscoveredPiece& piece : set->pieces)
        job.paths.push_back(piece.path);
    // Without a header there is no name to restore: the pieces are glued into a "File%i" as the dialog's
    // explicit selection does, and that name is always a new one.
    job.explicitSelection = set->header == SetHeader::None;
    // The join engine asks before it replaces a file of the recorded name.
    CatResult result;
    {
        ProgressLine line(console, "Join");
        job.onProgress = line.Callback();
        result = CatFiles(job, messenger);
    }
    if (result.crcMismatch)
        return kExitInconsistent;
    if (!result.written)
        return kExitFailure;
    if (!console.Quiet() && !output.ToStream())
        console.Result(result.listLine);
    return kExitOk;
}
