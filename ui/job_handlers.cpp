// The window while a long job runs: the start button turned Cancel, the other
// inputs disabled, the list menus closed, and closing the window asking first.
#include <windows.h>

#include <shellapi.h>

#include "ui/framework/controls.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

namespace {

// Every control that starts something or changes an input; the lists stay
// enabled so that they can still be scrolled.
constexpr int kInputs[] = {
    IDC_PICK_LARGE_FILE,  IDC_LARGE_FILE,      IDC_SPLIT_SIZE,    IDC_SIZE_FLOPPY,    IDC_SIZE_STEP,
    IDC_SIZE_AND_CRC,     IDC_WITHOUT_CRC,     IDC_SELF_CATENATE, IDC_START_SPLIT,    IDC_FIRST_PIECE,
    IDC_PICK_FIRST_PIECE, IDC_SELECT_SPECIFIC, IDC_START_CAT,     IDC_RECOVERY_COUNT, IDC_RECOVERY_STEP,
};

constexpr char kCancelText[] = "Cancel";
constexpr char kStopToCloseText[] = "A job is still running.\nStop it and close the program?";

} // namespace

MainDialog::~MainDialog() = default;

void MainDialog::StartJob(int startButton, BackgroundJob::Work work, std::function<void()> onDone) {
    jobButton_ = startButton;
    closeAfterJob_ = false;
    EnableInputs(false);
    if (jobButton_ != 0) {
        jobButtonText_ = ItemText(jobButton_);
        SetItemText(jobButton_, kCancelText);
    }
    job_.Start(Handle(), std::move(work), Item(IDC_SPLIT_PROGRESS), [this, onDone = std::move(onDone)] {
        if (jobButton_ != 0)
            SetItemText(jobButton_, jobButtonText_);
        jobButton_ = 0;
        EnableInputs(true);
        onDone();
        if (closeAfterJob_)
            End(IDCANCEL);
    });
}

void MainDialog::EnableInputs(bool enable) {
    for (const int id : kInputs)
        if (id != jobButton_)
            EnableWindow(Item(id), enable ? TRUE : FALSE);
}

std::optional<INT_PTR> MainDialog::OnMessageDuringJob(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<INT_PTR> handled = job_.HandleMessage(message, wParam, lParam))
        return handled;
    if (!job_.Running())
        return std::nullopt;
    switch (message) {
    case WM_CONTEXTMENU:
        return TRUE; // the files in the lists are in use
    case WM_DROPFILES:
        // A drop would change the inputs of the job that runs: refused, and the drop's memory freed.
        DropHandle(reinterpret_cast<HDROP>(wParam)).Reset();
        return TRUE;
    case WM_CLOSE:
        if (messenger_.Show(kStopToCloseText, Icon::Question, Buttons::YesNo) == Answer::Yes) {
            closeAfterJob_ = true;
            job_.RequestStop();
        }
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const bool fromButton = lParam != 0;
        // The start button, now Cancel, and Escape (IDCANCEL from no control) stop the job.
        if ((id == jobButton_ && jobButton_ != 0) || (id == IDCANCEL && !fromButton)) {
            job_.RequestStop();
            return TRUE;
        }
        // "Dismiss" closes the window, as the close box does.
        if (id == IDCANCEL)
            return OnMessageDuringJob(WM_CLOSE, 0, 0);
        // Nothing else starts while a job runs: Enter, menu commands, a disabled control's late click.
        return TRUE;
    }
    default:
        return std::nullopt;
    }
}
