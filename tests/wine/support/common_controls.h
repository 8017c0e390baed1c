// The common controls the main dialog's template uses, registered once per test program.
#pragma once

#include <windows.h>

#include <commctrl.h>

inline void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}
