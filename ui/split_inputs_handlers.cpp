// The split half's inputs: the large file, its size and CRC-32, the split size
// with its presets, the split count, and the two options.
#include <memory>
#include <string>

#include "core/crc32_job.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/stub_image.h"
#include "ui/split_inputs.h"
#include "split/split_request.h"
#include "ui/framework/controls.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

void MainDialog::OnBn_PickLargeFile() {
    // A cancelled picker gives an empty name, which empties the field too.
    largeFileName_ = pickers_.PickFile("C:\\", "Select a large file", "");
    SetItemText(IDC_LARGE_FILE, largeFileName_);
    UpdateSplitCount();
}

void MainDialog::OnEn_LargeFileChange() {
    largeFileName_ = ItemText(IDC_LARGE_FILE);
    SetItemText(IDC_FILE_SIZE, "");
    SetItemText(IDC_FILE_CRC, "");
    // A CRC belongs to the file it was measured on: the next split measures anew.
    storedCrcText_.clear();
    UpdateSplitCount();
}

void MainDialog::UpdateSplitCount() {
    const int64_t size = GetFileSize(largeFileName_, false, messenger_);
    // The count is the number of pieces the split writes, so the stub and the header count too. Before
    // the CRC is measured its text is taken at its longest, 8 digits.
    const uint64_t headerBytes =
        WritesHeader(withoutCrc_, selfCatenate_) ? LongestPieceHeader(storedCrcText_, largeFileName_).size() : 0;
    const uint64_t stubBytes = selfCatenate_ ? kStubImageSize : 0;
    SetItemText(IDC_SPLIT_COUNT, SplitCountText(SplitCount(size, splitSize_, stubBytes, headerBytes)));
}

bool MainDialog::OnBn_SizeAndCrc() {
    SetItemText(IDC_FILE_SIZE, "");
    SetItemText(IDC_FILE_CRC, "");
    if (largeFileName_.empty()) {
        messenger_.Show("No large file selected", Icon::Exclamation);
        SetItemText(IDC_SPLIT_COUNT, SplitCountText(std::nullopt));
        return false;
    }
    const int64_t size = GetFileSize(largeFileName_, true, messenger_);
    if (size < 0) {
        SetItemText(IDC_SPLIT_COUNT, SplitCountText(std::nullopt));
        return false;
    }
    SetItemText(IDC_FILE_SIZE, std::to_string(size));
    UpdateSplitCount();
    storedCrcText_.clear();
    const auto result = std::make_shared<CrcJobResult>();
    const std::string path = largeFileName_;
    StartJob(
        IDC_SIZE_AND_CRC,
        [result, path](const ProgressCallback& onProgress, Messenger&) { *result = MeasureFileCrc(path, onProgress); },
        [this, result] {
            switch (result->end) {
            case CrcJobEnd::Done:
                storedCrcText_ = CrcText(result->crc);
                SetItemText(IDC_FILE_CRC, "Hex: " + storedCrcText_);
                UpdateSplitCount();
                return;
            case CrcJobEnd::Failed:
                // The file is there but cannot be read through: no CRC, and the dialog goes on.
                messenger_.Show("Can't calculate CRC32", Icon::Hand);
                return;
            case CrcJobEnd::Stopped:
                messenger_.Show(kCrcStoppedText, Icon::Information);
                return;
            }
        });
    return true;
}

void MainDialog::OnEn_SplitSizeChange() {
    splitSize_ = 0;
    const SplitSizeText parsed = ParseSplitSize(ItemText(IDC_SPLIT_SIZE));
    switch (parsed.kind) {
    case SplitSizeKind::Empty:
        SetItemText(IDC_SPLIT_COUNT, SplitCountText(std::nullopt));
        return;
    case SplitSizeKind::Refused:
        SetItemText(IDC_SPLIT_COUNT, SplitCountText(std::nullopt));
        messenger_.Show("Wrong number of bytes", Icon::Exclamation);
        return;
    case SplitSizeKind::Valid:
        splitSize_ = parsed.size;
        UpdateSplitCount();
        return;
    }
}

void MainDialog::OnBn_SizeFloppy() {
    UpDown(Item(IDC_SIZE_STEP)).SetPosition(kFirstSizeStep);
    SetItemText(IDC_SIZE_STEP_LABEL, "");
    SetItemText(IDC_SPLIT_SIZE, std::to_string(kFloppySplitSize));
    splitSize_ = kFloppySplitSize;
}

BOOL MainDialog::OnVScroll(int code, unsigned position, HWND sender) {
    // The end of a click changes nothing; not even the default handling runs.
    if (code == SB_ENDSCROLL)
        return TRUE;
    if (sender != Item(IDC_SIZE_STEP))
        return FALSE;
    if (const std::optional<SizeStep> step = SizeStepAt(position)) {
        // The split size follows through the edit's change handler.
        SetItemText(IDC_SPLIT_SIZE, std::to_string(step->size));
        SetItemText(IDC_SIZE_STEP_LABEL, step->label);
    }
    return FALSE;
}

// The check boxes toggle themselves before the click arrives; at most one is on.
void MainDialog::OnBn_WithoutCrc() {
    withoutCrc_ = CheckBox(Item(IDC_WITHOUT_CRC)).IsChecked();
    if (withoutCrc_) {
        selfCatenate_ = false;
        CheckBox(Item(IDC_SELF_CATENATE)).SetChecked(false);
    }
    UpdateSplitCount();
}

void MainDialog::OnBn_SelfCatenate() {
    selfCatenate_ = CheckBox(Item(IDC_SELF_CATENATE)).IsChecked();
    if (selfCatenate_) {
        withoutCrc_ = false;
        CheckBox(Item(IDC_WITHOUT_CRC)).SetChecked(false);
    }
    UpdateSplitCount();
}
