// ITaskbarList3 behind the three calls the job needs.
#include "ui/framework/taskbar_progress.h"

#include <shobjidl.h>

TaskbarProgress::TaskbarProgress() {
    if (!com_.Initialised())
        return;
    ITaskbarList3* taskbar = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&taskbar))))
        return;
    if (FAILED(taskbar->HrInit())) {
        taskbar->Release();
        return;
    }
    taskbar_ = taskbar;
}

TaskbarProgress::~TaskbarProgress() {
    if (taskbar_)
        taskbar_->Release();
}

bool TaskbarProgress::Show(HWND window, unsigned long long done, unsigned long long total) {
    if (!taskbar_)
        return false;
    return SUCCEEDED(taskbar_->SetProgressState(window, TBPF_NORMAL)) &&
           SUCCEEDED(taskbar_->SetProgressValue(window, done, total));
}

bool TaskbarProgress::Clear(HWND window) {
    return taskbar_ && SUCCEEDED(taskbar_->SetProgressState(window, TBPF_NOPROGRESS));
}
