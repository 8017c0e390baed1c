// The real main dialog with recorded messages and scripted pickers, set up
// with files in its two list boxes, and the ways a user drives their menus.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "tests/support/crc_text.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/support/common_controls.h"
#include "tests/wine/support/scripted_pickers.h"
#include "tests/wine/support/window_messenger.h"
#include "ui/main_dialog.h"
#include "ui/resource.h"

using Lines = std::vector<std::string>;
using Paths = std::vector<std::string>;

// Closes every other dialog-class window that this thread opens while it
// lives (a box of the shell, say), noting its text, so nothing waits for a
// user who is not there. The dialog under test gets its messages on the same
// thread, so a thread timer also ticks inside the shell's modal loops.
class StrayBoxCloser {
public:
    explicit StrayBoxCloser(HWND keep) {
        keep_ = keep;
        seen_.clear();
        timer_ = SetTimer(nullptr, 0, 100, Tick);
    }
    ~StrayBoxCloser() { KillTimer(nullptr, timer_); }
    StrayBoxCloser(const StrayBoxCloser&) = delete;
    StrayBoxCloser& operator=(const StrayBoxCloser&) = delete;

    static const std::vector<std::string>& Seen() { return seen_; }

private:
    static BOOL CALLBACK CloseOne(HWND window, LPARAM) {
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (window != keep_ && IsWindowVisible(window) && std::string(cls) == "#32770") {
            char text[512] = {};
            GetWindowTextA(window, text, sizeof text);
            seen_.push_back(text);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0); }

    static inline HWND keep_ = nullptr;
    static inline std::vector<std::string> seen_;
    UINT_PTR timer_ = 0;
};

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControlsOnce();
        ASSERT_TRUE(dialog.Create()) << "the dialog could not be created from template 102, error " << GetLastError();
    }

    HWND List(int id) const { return dialog.Item(id); }

    Lines ListLines(int id) const {
        Lines lines;
        const int count = static_cast<int>(SendMessageA(List(id), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[1024] = {};
            SendMessageA(List(id), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    // The names the lines show, without their size texts.
    Lines ListNames(int id) const {
        Lines names;
        for (const std::string& line : ListLines(id))
            names.push_back(line.substr(0, line.rfind('\t')));
        return names;
    }
    std::vector<int> Selected(int id) const {
        std::vector<int> selected;
        const int count = static_cast<int>(SendMessageA(List(id), LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (SendMessageA(List(id), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0)
                selected.push_back(i);
        return selected;
    }
    void Select(int id, std::vector<int> lines) {
        SendMessageA(List(id), LB_SETSEL, FALSE, -1);
        for (int line : lines)
            SendMessageA(List(id), LB_SETSEL, TRUE, line);
    }
    void Choose(int command) {
        SendMessageA(dialog.Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        dialog.WaitForJob();
    }

    // Files named name0, name1, ... with distinct contents, their full paths in order.
    Paths WriteFiles(const TempDir& dir, const Lines& names) {
        Paths paths;
        for (size_t i = 0; i < names.size(); ++i) {
            dir.Write(names[i], "content of " + names[i] + " " + TestBytes(100 + i, static_cast<uint32_t>(i)));
            paths.push_back(dir.File(names[i]));
        }
        return paths;
    }
    // A split set of `pieces` pieces of `original`, its first piece with the header.
    void WriteSplitSet(const TempDir& dir, const std::string& original, const std::string& name, int pieces) {
        const size_t part = original.size() / static_cast<size_t>(pieces) + 1;
        for (int n = 0; n < pieces; ++n) {
            std::string bytes = original.substr(static_cast<size_t>(n) * part, part);
            if (n == 0)
                bytes = CrcTextOf(original) + "#" + name + ";" + bytes;
            dir.Write(PieceName(n), bytes);
        }
    }

    // The catenate half, as the user fills it: a first piece typed, or files picked in order.
    void Discover(const std::string& firstPiece) {
        SendMessageA(dialog.Item(IDC_FIRST_PIECE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(firstPiece.c_str()));
    }
    void SelectExplicitly(const Paths& paths) {
        pickers.selection = paths;
        SendMessageA(dialog.Item(IDC_SELECT_SPECIFIC), BM_CLICK, 0, 0);
    }
    void StartCat() {
        SendMessageA(dialog.Item(IDC_START_CAT), BM_CLICK, 0, 0);
        dialog.WaitForJob();
    }
    // The split half after a split: the large file's name and the pieces the
    // dialog lists beside it, their paths fixed as they are listed.
    void ListSplitPieces(const std::string& largeFile) {
        SendMessageA(dialog.Item(IDC_LARGE_FILE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(largeFile.c_str()));
        dialog.ListPieces(largeFile);
    }
    // Selects the one line of list box id that names name.
    void SelectNamed(int id, const std::string& name) {
        const Lines names = ListNames(id);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return Select(id, {static_cast<int>(i)});
        ADD_FAILURE() << name << " is not listed";
    }
    // Lines that look like the split's, for tests of what the menus offer:
    // no file stands behind them.
    void ShowSplitList(const std::string& largeFile, const Lines& pieceNames) {
        SendMessageA(dialog.Item(IDC_LARGE_FILE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(largeFile.c_str()));
        SendMessageA(List(IDC_SPLIT_LIST), LB_RESETCONTENT, 0, 0);
        for (const std::string& name : pieceNames) {
            const std::string line = name + "\t 10 bytes";
            SendMessageA(List(IDC_SPLIT_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
    }

    WindowRecordingMessenger messenger;
    ScriptedPickers pickers;
    MainDialog dialog{messenger, pickers};
};
