// A long job on a thread of its own, so that the window stays live: the job
// posts its progress to the dialog, asks its questions through the dialog's
// thread, and learns there whether the user pressed Cancel.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

#include "core/job_progress.h"
#include "core/messages.h"
#include "ui/framework/taskbar_progress.h"

// The messages a job sends to its dialog; the dialog hands them to HandleMessage.
constexpr UINT kJobProgressMessage = WM_APP + 1; // posted; wParam: thousandths done
constexpr UINT kJobShowMessage = WM_APP + 2;     // sent; lParam: the message box request
constexpr UINT kJobDoneMessage = WM_APP + 3;     // posted once the job's work has returned
// The first message number past the job's, for a window's messages of its own.
constexpr UINT kFirstWindowMessage = kJobDoneMessage + 1;

class BackgroundJob {
public:
    // Runs on the job's thread; every message box goes through the messenger given.
    using Work = std::function<void(const ProgressCallback& onProgress, Messenger& messenger)>;

    // Boxes are shown on the dialog's thread by windowMessenger.
    explicit BackgroundJob(Messenger& windowMessenger);
    // A job still running is asked to stop and waited for.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    bool Running() const { return thread_.joinable(); }
    // Starts work; dialog gets the job's messages, progressBar (may be null) shows its
    // fraction done; onDone runs on the dialog's thread once the work has returned.
    // One job at a time.
    void Start(HWND dialog, Work work, HWND progressBar, std::function<void()> onDone);
    // Asks the job to stop: its next progress call answers false.
    void RequestStop() { stop_ = true; }
    // The dialog's part: a job message handled, or empty for any other message.
    std::optional<INT_PTR> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Handles messages until the job has ended (its onDone has run).
    void Wait();

private:
    void Finish();

    HWND dialog_ = nullptr;
    Messenger& windowMessenger_;
    HWND progressBar_ = nullptr;
    std::function<void()> onDone_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> workReturned_{false};
    // The program's taskbar button, which shows the bar's fraction while a job runs.
    TaskbarProgress taskbar_;
    std::thread thread_;
};
