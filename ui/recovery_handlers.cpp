// "Check pieces" in the catenate list's menu, and the check and rebuild that Start cat runs before a join.
#include "ui/recovery_handlers.h"

#include <memory>

#include "cat/join_target.h"
#include "platform/file.h"
#include "recovery/rebuild.h"
#include "ui/main_dialog.h"
#include "words/recovery_words.h"

PiecesBeforeJoin CheckAndRebuildPieces(const std::string& firstPiecePath, const ProgressCallback& progress,
                                       Messenger& messenger, std::optional<bool>& replaceAnswer) {
    const par2::CheckResult result = par2::CheckPieces(FolderPart(firstPiecePath), progress);
    if (result.outcome == par2::CheckOutcome::Stopped)
        return PiecesBeforeJoin::Stop;
    if (result.outcome == par2::CheckOutcome::Refused) {
        messenger.Tell(result.refusal);
        return PiecesBeforeJoin::Stop;
    }
    if (result.outcome != par2::CheckOutcome::Checked || result.check.PiecesIntact())
        return PiecesBeforeJoin::Join;
    const par2::SetCheck& check = result.check;
    if (!check.Rebuildable()) {
        messenger.Show(NotRebuildableText(check), Icon::Hand);
        return PiecesBeforeJoin::Stop;
    }
    if (messenger.Show(RebuildQuestion(check), Icon::Question, Buttons::YesNoDefaultYes) != Answer::Yes)
        return PiecesBeforeJoin::Stop;
    par2::PreparedRebuild prepared =
        par2::PrepareRebuild(check, progress, par2::kDefaultRebuildMemory, par2::RebuildScope::PiecesOnly);
    if (prepared.result.outcome == par2::RebuildOutcome::NothingToDo)
        return PiecesBeforeJoin::Join;
    if (prepared.result.outcome != par2::RebuildOutcome::Ready) {
        messenger.Show(RebuildFailureText(prepared.result, check), Icon::Hand);
        return PiecesBeforeJoin::Stop;
    }
    const par2::PiecesAfterRebuild after = par2::PiecesAfter(check, prepared);
    if (!after.firstPath.empty()) {
        const std::optional<CatTarget> target =
            DecideCatTarget(after.firstPath, after.firstBytes, after.paths, after.bytes, {}, messenger);
        if (!target)
            return PiecesBeforeJoin::Stop;
        replaceAnswer = target->replaceExisting;
    }
    const par2::RebuildResult rebuilt = prepared.Commit();
    if (rebuilt.outcome != par2::RebuildOutcome::Rebuilt) {
        messenger.Show(RebuildFailureText(rebuilt, check), Icon::Hand);
        return PiecesBeforeJoin::Stop;
    }
    return PiecesBeforeJoin::Rebuilt;
}

void MainDialog::ShowPieceStates() {
    if (catenationList_.empty())
        return;
    const std::string folder = FolderPart(catenationList_.front());
    const auto result = std::make_shared<par2::CheckResult>();
    StartJob(
        0,
        [result, folder](const ProgressCallback& onProgress, Messenger&) {
            *result = par2::CheckPieces(folder, onProgress);
        },
        [this, result] {
            if (result->outcome == par2::CheckOutcome::Stopped)
                return;
            if (result->outcome == par2::CheckOutcome::Refused) {
                messenger_.Tell(result->refusal);
                return;
            }
            const bool bad = result->outcome == par2::CheckOutcome::Checked && !result->check.Complete();
            messenger_.Show(CheckPiecesText(*result), bad ? Icon::Exclamation : Icon::Information);
        });
}
