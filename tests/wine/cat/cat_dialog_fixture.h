// The real main dialog with recorded messages and pickers that answer from a
// script, plus what the catenate tests read back: list box 1018 and sets on disk.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/native/cat/split_set_writer.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_dir.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

// Answers both open pickers from a script and notes how each was asked.
class CatPickers : public Pickers {
public:
    std::string PickFile(const std::string& initialFolder, const std::string& title,
                         const std::string& filter) override {
        asked.push_back(initialFolder + "|" + title + "|" + filter);
        return fileAnswer;
    }
    bool PickFilesInOrder(const std::string& initialFolder, const std::string& title, const std::string& filter,
                          std::vector<std::string>& list) override {
        asked.push_back(initialFolder + "|" + title + "|" + filter);
        if (!confirmSelection)
            return false;
        list = selectionAnswer;
        return true;
    }
    bool PickFolder(std::string& folder, const std::string&) override {
        folder.clear();
        return false;
    }

    std::string fileAnswer;
    bool confirmSelection = true;
    std::vector<std::string> selectionAnswer;
    std::vector<std::string> asked;
};

inline void InitCatDialogControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)done;
}

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
        InitCatDialogControls();
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

    // Every line of list box 1018 names an entry of the catenation list or a rejoined file.
    void ExpectListInStep() const {
        EXPECT_EQ(CatLines().size(), dialog.CatenationList().size() + dialog.RejoinedPaths().size())
            << "list box 1018 and the dialog's lists went out of step";
    }

    RecordingMessenger messenger;
    CatPickers pickers;
    MainDialog dialog{messenger, pickers};
};
