// The real main dialog, modeless, with recorded messages and scripted pickers,
// and the ways a user drives its controls.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/support/common_controls.h"
#include "tests/wine/support/scripted_pickers.h"
#include "tests/wine/support/window_messenger.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControlsOnce();
        ASSERT_TRUE(dialog.Create()) << "the dialog could not be created from template 102, error " << GetLastError();
    }

    std::string Text(int id) const { return dialog.ItemText(id); }
    // As typing does: the edit raises its change notification.
    void Type(int id, const std::string& text) {
        SendMessageA(dialog.Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // A click that starts a job returns once the job has ended, as a user waits for its result.
    void Click(int id) {
        SendMessageA(dialog.Item(id), BM_CLICK, 0, 0);
        dialog.WaitForJob();
    }
    bool Checked(int id) const { return SendMessageA(dialog.Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    // A mouse click on the up-down control's upper or lower arrow.
    void ClickArrow(bool up) {
        const HWND spin = dialog.Item(IDC_SIZE_STEP);
        RECT r;
        GetClientRect(spin, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, up ? r.bottom / 4 : r.bottom * 3 / 4);
        SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(spin, WM_LBUTTONUP, 0, at);
    }

    WindowRecordingMessenger messenger;
    ScriptedPickers pickers;
    MainDialog dialog{messenger, pickers};
};
