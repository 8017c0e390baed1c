// Answers the modal loops that the code under test opens (message boxes,
// common dialogs, the modal main dialog): a thread timer keeps ticking inside
// a nested modal loop, and each tick gives the robot's step a chance to act.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct DialogSearch {
    HWND except;
    HWND found;
};

inline BOOL CALLBACK MatchDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (window != search->except && IsWindowVisible(window) && std::string(cls) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog-class window of this thread other than `except`; null when none.
inline HWND FindThreadDialog(HWND except = nullptr) {
    DialogSearch search{except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline BOOL CALLBACK MatchListView(HWND window, LPARAM param) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "SysListView32")
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// The file list of an open-file dialog; null while it has none.
inline HWND FileListOf(HWND dialog) {
    HWND list = nullptr;
    EnumChildWindows(dialog, MatchListView, reinterpret_cast<LPARAM>(&list));
    return list;
}

inline std::string WindowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class Robot {
public:
    // step runs on every tick until it returns true. After maxTicks the robot
    // gives up and cancels whatever dialog is open, so a test fails instead of hanging.
    explicit Robot(std::function<bool()> step, int maxTicks = 200) : step_(std::move(step)), maxTicks_(maxTicks) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~Robot() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    bool Finished() const { return finished_; }
    bool GaveUp() const { return gaveUp_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Robot* self = current_;
        if (!self || self->finished_ || self->gaveUp_)
            return;
        if (self->step_()) {
            self->finished_ = true;
            return;
        }
        if (++self->ticks_ >= self->maxTicks_) {
            self->gaveUp_ = true;
            if (const HWND open = FindThreadDialog())
                PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        }
    }

    static inline Robot* current_ = nullptr;
    std::function<bool()> step_;
    int maxTicks_;
    int ticks_ = 0;
    bool finished_ = false;
    bool gaveUp_ = false;
    UINT_PTR timer_ = 0;
};
