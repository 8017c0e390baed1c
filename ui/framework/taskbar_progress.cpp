// ITaskbarList3 behind the three calls the job needs.
#include "ui/framework/taskbar_progress.h"

#include <shobjidl.h>

#include <utility>

TaskbarProgress::TaskbarProgress() {
    if (!com_.Initialised())
        return;
    ITaskbarList3* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                reinterpret_cast<void**>(&created))))
        return;
    ComPtr<ITaskbarList3> taskbar(created);
    if (SUCCEEDED(taskbar.Get()->HrInit()))
        taskbar_ = std::move(taskbar);
}

TaskbarProgress::~TaskbarProgress() = default;

bool TaskbarProgress::Show(HWND window, unsigned long long done, unsigned long long total) {
    if (!taskbar_.IsValid())
        return false;
    return SUCCEEDED(taskbar_.Get()->SetProgressState(window, TBPF_NORMAL)) &&
           SUCCEEDED(taskbar_.Get()->SetProgressValue(window, done, total));
}

bool TaskbarProgress::Clear(HWND window) {
    return taskbar_.IsValid() && SUCCEEDED(taskbar_.Get()->SetProgressState(window, TBPF_NOPROGRESS));
}
