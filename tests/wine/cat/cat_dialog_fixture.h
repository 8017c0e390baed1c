// The real main dialog with recorded messages and pickers that answer from a
// script, plus what the catenate tests read back: IDC_CAT_LIST and sets on disk.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/cat/split_set_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/support/common_controls.h"
#include "tests/wine/support/scripted_pickers.h"
#include "tests/wine/support/window_messenger.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

inline std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string line(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(line);
    }
    return lines;
}

class CatDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControlsOnce();
        ASSERT_TRUE(dialog.Create()) << "the dialog could not be created from template 102, error " << GetLastError();
    }

    // As typing does: the edit raises its change notification.
    void Type(const std::string& text) {
        SendMessageA(dialog.Item(IDC_FIRST_PIECE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // A click that starts a job returns once the job has ended.
    void Click(int id) {
        SendMessageA(dialog.Item(id), BM_CLICK, 0, 0);
        dialog.WaitForJob();
    }
    std::string EditText() const { return dialog.ItemText(IDC_FIRST_PIECE); }
    std::vector<std::string> CatLines() const { return ListLines(dialog.Item(IDC_CAT_LIST)); }

    // Every line of IDC_CAT_LIST names an entry of the catenation list or a rejoined file.
    void ExpectListInStep() const {
        EXPECT_EQ(CatLines().size(), dialog.CatenationList().size() + dialog.RejoinedPaths().size())
            << "IDC_CAT_LIST and the dialog's lists went out of step";
    }

    WindowRecordingMessenger messenger;
    ScriptedPickers pickers;
    MainDialog dialog{messenger, pickers};
};
