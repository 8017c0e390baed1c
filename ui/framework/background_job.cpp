// The job's thread, its messages to the dialog, and the marshalled message boxes.
#include "ui/framework/background_job.h"

#include <commctrl.h>

#include <string>

#include "platform/file.h"
#include "ui/outcome_text.h"

namespace {

// The bar's range: thousandths of the job, so that no file size overflows it.
constexpr int kBarRange = 1000;

struct ShowRequest {
    const std::string* text;
    Icon icon;
    Buttons buttons;
    Answer answer;
};

// A messenger for the job's thread: the box is shown by the dialog's thread,
// which owns the window, and the job waits for the answer. Sent, never posted:
// the job must not go on before the user has read the box.
class MarshalledMessenger : public Messenger {
public:
    explicit MarshalledMessenger(HWND dialog) : dialog_(dialog) {}
    Answer Show(const std::string& text, Icon icon, Buttons buttons = Buttons::Ok) override {
        ShowRequest request{&text, icon, buttons, Answer::Cancel};
        SendMessageA(dialog_, kJobShowMessage, 0, reinterpret_cast<LPARAM>(&request));
        return request.answer;
    }
    void Tell(const Outcome& outcome) override { ShowOutcome(*this, outcome); }
    Answer Ask(const Outcome& question) override { return AskOutcome(*this, question); }

private:
    HWND dialog_;
};

} // namespace

BackgroundJob::BackgroundJob(Messenger& windowMessenger) : windowMessenger_(windowMessenger) {}

BackgroundJob::~BackgroundJob() {
    if (!Running())
        return;
    // The results have nowhere to go any more; the job still cleans up after itself.
    onDone_ = nullptr;
    RequestStop();
    Wait();
}

void BackgroundJob::Start(HWND dialog, Work work, HWND progressBar, std::function<void()> onDone) {
    dialog_ = dialog;
    progressBar_ = progressBar;
    onDone_ = std::move(onDone);
    stop_ = false;
    workReturned_ = false;
    if (progressBar_) {
        SendMessageA(progressBar_, PBM_SETRANGE32, 0, kBarRange);
        SendMessageA(progressBar_, PBM_SETPOS, 0, 0);
    }
    thread_ = std::thread([this, work = std::move(work)] {
        MarshalledMessenger messenger(dialog_);
        int shown = -1;
        const ProgressCallback onProgress = [this, &shown](uint64_t done, uint64_t total) {
            const int thousandths = total == 0 ? kBarRange : static_cast<int>(done * 1.0 / total * kBarRange);
            // One message per visible step: a fast job must not flood the queue.
            if (thousandths != shown) {
                shown = thousandths;
                PostMessageA(dialog_, kJobProgressMessage, static_cast<WPARAM>(thousandths), 0);
            }
            return !stop_;
        };
        try {
            work(onProgress, messenger);
        } catch (const FileException& e) {
            messenger.Show("Error on Subroutine: BackgroundJob\n" + e.Description(), Icon::Hand);
        } catch (const std::exception& e) {
            messenger.Show(std::string("Unexpected error: ") + e.what(), Icon::Hand);
        }
        workReturned_ = true;
        PostMessageA(dialog_, kJobDoneMessage, 0, 0);
    });
}

std::optional<INT_PTR> BackgroundJob::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kJobProgressMessage:
        if (progressBar_ && Running()) {
            SendMessageA(progressBar_, PBM_SETPOS, wParam, 0);
            taskbar_.Show(dialog_, wParam, kBarRange);
        }
        return TRUE;
    case kJobShowMessage: {
        auto* request = reinterpret_cast<ShowRequest*>(lParam);
        request->answer = windowMessenger_.Show(*request->text, request->icon, request->buttons);
        return TRUE;
    }
    case kJobDoneMessage:
        if (Running() && workReturned_)
            Finish();
        return TRUE;
    default:
        return std::nullopt;
    }
}

void BackgroundJob::Finish() {
    thread_.join();
    taskbar_.Clear(dialog_);
    std::function<void()> onDone = std::move(onDone_);
    onDone_ = nullptr;
    if (onDone)
        onDone();
}

void BackgroundJob::Wait() {
    // The job may be waiting for a box that only this thread can show: keep handling messages.
    while (Running()) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (Running() && workReturned_ && !IsWindow(dialog_))
            Finish();
        else if (Running())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
