// The job's progress on the program's taskbar button (Windows 7 and later), so
// that a long split or join shows while the window is minimised or covered.
// Where the shell has no taskbar object, every call does nothing.
#pragma once

#include <windows.h>

#include "platform/owned_handles.h"
#include "ui/framework/com_apartment.h"

struct ITaskbarList3;

class TaskbarProgress {
public:
    TaskbarProgress();
    ~TaskbarProgress(); // where ITaskbarList3 is complete

    // Whether the shell gave us its taskbar object.
    bool Available() const { return taskbar_.IsValid(); }
    // done of total on window's button; false when the shell refused or has no taskbar.
    bool Show(HWND window, unsigned long long done, unsigned long long total);
    // The button without progress again.
    bool Clear(HWND window);

private:
    ComApartment com_;
    ComPtr<ITaskbarList3> taskbar_;
};
