// The split itself: "Start Split" as a job, and the list of pieces written.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/file_checks.h"
#include "core/stub_image.h"
#include "platform/file.h"
#include "split/piece_list.h"
#include "split/split_engine.h"
#include "split/split_recovery.h"
#include "ui/framework/controls.h"
#include "ui/list_lines.h"
#include "ui/main_dialog.h"
#include "ui/menu_rules.h"
#include "ui/outcome_text.h"
#include "ui/resource.h"
#include "ui/stub_resource.h"
#include "words/recovery_words.h"

void MainDialog::OnBn_StartSplit() {
    // The checks, in their order; each refusal starts nothing.
    const int64_t size = GetFileSize(largeFileName_, true, messenger_);
    SplitJob job;
    job.largeFile = largeFileName_;
    job.splitSize = splitSize_;
    job.crcText = storedCrcText_;
    job.withoutCrc = withoutCrc_;
    if (selfCatenate_ && !TakeStubImage(job))
        return;
    // Recovery files that cannot be are refused before the first byte, as every other check.
    const RecoveryRequest request{false, RecoveryCountOf(ItemText(IDC_RECOVERY_COUNT))};
    if (const std::optional<Outcome> refusal = CheckSplitRequest(job, size, request)) {
        ShowOutcome(messenger_, *refusal);
        return;
    }
    std::shared_ptr<RecoveryWriter> recovery;
    if (request.value > 0) {
        recovery = std::make_shared<RecoveryWriter>(largeFileName_, splitSize_, request, kDefaultRecoveryMemory);
        if (const std::optional<Outcome> refusal =
                ReserveSplitRecovery(*recovery, LongestPrefix(job), static_cast<uint64_t>(size), job.splitSize,
                                     job.stubImage != nullptr, request, kDefaultRecoveryMemory)) {
            ShowOutcome(messenger_, *refusal);
            return;
        }
        job.observer = recovery.get();
    }

    // A CRC not yet measured is taken while the pieces are written: the file is read once.
    const auto result = std::make_shared<SplitResult>(SplitResult{SplitEnd::FileError, 0, {}});
    const std::string largeFile = largeFileName_;
    StartJob(
        IDC_START_SPLIT,
        [job, result, recovery](const ProgressCallback& onProgress, Messenger& messenger) {
            *result = SplitLargeFile(job, messenger, onProgress);
        },
        [this, result, largeFile, size, recovery] { ShowSplitResult(*result, largeFile, size, recovery.get()); });
}

bool MainDialog::TakeStubImage(SplitJob& job) {
    const std::optional<StubImageBytes> image = LoadStubImage();
    if (!image) {
        ShowOutcome(messenger_, told::StubImageMissing{});
        return false;
    }
    // catstub reads the header right behind an image of exactly this size.
    if (image->size != kStubImageSize) {
        ShowOutcome(messenger_, told::StubImageWrongSize{image->size, kStubImageSize});
        return false;
    }
    job.stubImage = image->data;
    job.stubSize = image->size;
    return true;
}

void MainDialog::ShowSplitResult(const SplitResult& result, const std::string& largeFile, int64_t size,
                                 const RecoveryWriter* recovery) {
    // The CRC taken while writing describes the file as it was split: shown as a measurement is.
    if (result.end == SplitEnd::Done && !result.crcText.empty()) {
        storedCrcText_ = result.crcText;
        SetItemText(IDC_FILE_SIZE, std::to_string(size));
        SetItemText(IDC_FILE_CRC, "Hex: " + storedCrcText_);
    }
    // The measured CRC no longer describes the file: the next Start Split measures afresh.
    if (result.end == SplitEnd::ChangedWhileSplitting) {
        storedCrcText_.clear();
        SetItemText(IDC_FILE_CRC, "");
    }
    // A split that fails deletes its pieces: only a finished one has pieces to show.
    if (result.end == SplitEnd::Done)
        ListPieces(largeFile);
    if (result.end == SplitEnd::Done && recovery)
        messenger_.Show("Split Successful.\n" + RecoveryOutcomeText(recovery->Outcome()), Icon::Information);
}

void MainDialog::ListPieces(const std::string& largeFileName) {
    ListBox list(Item(IDC_SPLIT_LIST));
    list.Reset();
    splitPaths_.clear();
    // The folder is fixed now, when the user sees the list, not when a menu command runs.
    const std::string folder = SplitListFolder(largeFileName, CurrentDirectory());
    for (const FoundFile& found : PiecesBeside(largeFileName)) {
        const std::string line = PieceLine(found.name, found.size);
        list.Add(line);
        splitPaths_.push_back(SplitEntryPath(folder, line).value_or(std::string()));
    }
}
