// fendrik join: the set found from any of its pieces, refused when incomplete,
// its output never replaced without a Yes, then the join engine.
#include <optional>
#include <ostream>

#include "cat/cat_files.h"
#include "cat/join_target.h"
#include "cli/command_support.h"
#include "cli/join_output.h"
#include "cli/progress_line.h"
#include "cli/recovery_report.h"
#include "cli/set_report.h"
#include "core/piece_name.h"
#include "platform/file.h"

namespace {

// Rebuilds the pieces the recovery files can rebuild, after every refusal of the join has been decided and
// the user said Yes; the replace question's answer goes into the job. The exit status, after telling why,
// when the join goes no further: a declined rebuild leaves the set as it was, missing but rebuildable.
std::optional<int> RebuildBeforeJoin(const par2::SetCheck& check, JoinOutput& output, CatJob& job, Console& console,
                                     Messenger& messenger) {
    if (!check.Rebuildable()) {
        messenger.Show(RecoverySummary(check) + "\nNothing was joined.", Icon::Hand);
        return kExitNotRebuildable;
    }
    const size_t toRebuild = check.pieces.size() - check.Count(par2::PieceCondition::Intact);
    if (!output.MayRebuild(PiecesToRebuild(check), toRebuild, messenger))
        return kExitInconsistent;
    if (!output.Prepare(job, messenger))
        return kExitFailure;
    if (messenger.Show(RebuildQuestion(check), Icon::Question, Buttons::YesNo) != Answer::Yes) {
        messenger.Show("Nothing was rebuilt or joined.", Icon::Exclamation);
        return kExitInconsistent;
    }
    std::optional<par2::PreparedRebuild> prepared =
        PrepareWithProgress(check, par2::RebuildScope::PiecesOnly, console, messenger);
    if (!prepared)
        return kExitFailure;
    const par2::PiecesAfterRebuild after = par2::PiecesAfter(check, *prepared);
    // Standard output has no name to refuse or replace.
    if (!after.firstPath.empty() && !output.ToStream()) {
        std::optional<CatTarget> target;
        try {
            target =
                DecideCatTarget(after.firstPath, after.firstBytes, after.paths, after.bytes, job.outputName, messenger);
        } catch (const FileException& error) {
            messenger.Show("Can't read the first piece\n" + error.Description() + "\nNo piece was changed.",
                           Icon::Hand);
            return kExitFailure;
        }
        if (!target)
            return kExitFailure;
        job.replaceAnswer = target->replaceExisting;
    }
    if (!CommitRebuild(*prepared, check, console, messenger))
        return kExitFailure;
    return std::nullopt;
}

} // namespace

int RunJoin(const CliOptions& options, Console& console, Messenger& messenger) {
    JoinOutput output(options, console);
    // Pieces that the recovery files beside the set can rebuild are rebuilt before the join.
    // Resolved once, before the output folder becomes the current one.
    const std::string piecePath = EnginePath(options.path);
    const std::optional<par2::CheckResult> checked = CheckAgainstIndex(piecePath, console, messenger);
    if (!checked)
        return kExitFailure;
    if (checked->outcome == par2::CheckOutcome::NoMatch || checked->outcome == par2::CheckOutcome::TwoSets)
        console.Message(SetChoiceText(*checked) + " The pieces are joined without them.");
    CatJob job;
    if (checked->outcome == par2::CheckOutcome::Checked && !checked->check.PiecesIntact()) {
        if (const std::optional<int> stopped = RebuildBeforeJoin(checked->check, output, job, console, messenger))
            return *stopped;
    }
    const std::optional<SetSurvey> set = SurveySet(piecePath, messenger);
    if (!set)
        return kExitFailure;
    if (!set->Complete()) {
        messenger.Show("The set is incomplete, missing: " + MissingPieceNames(*set) + "\nNothing was joined.",
                       Icon::Hand);
        return kExitInconsistent;
    }
    if (!output.Prepared() && !output.Prepare(job, messenger))
        return kExitFailure;
    for (const DiscoveredPiece& piece : set->pieces)
        job.paths.push_back(piece.path);
    // Without a header there is no name to restore: the pieces are glued into a "File%i" as the dialog's
    // explicit selection does, and that name is always a new one.
    job.explicitSelection = set->header == SetHeader::None;
    // The join engine asks before it replaces a file of the recorded name, unless that was asked before a
    // rebuild.
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
        console.Result(NamePart(result.outputPath) + "\t " + std::to_string(result.outputSize) + " bytes");
    return kExitOk;
}
