// The real Fendrik.exe under Wine, driven from outside as a user would: a name
// and a size typed, "Self Catenate" checked, "Start Split" clicked, its boxes
// answered; then the first piece it wrote rejoins the file on its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/wine/split/split_test_paths.h"
#include "tests/wine/support/box_robot.h"
#include "tests/wine/support/child_process.h"
#include "tests/wine/support/message_box.h"
#include "ui/resource.h"

namespace {

constexpr UINT kSendTimeoutMs = 3000;
const char kDialogCaption[] = "Splitting a large file into small files OR Concatenate files";

// Polls until found() gives a window or ms pass.
template <typename Find> HWND WaitFor(Find found, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (const HWND window = found())
            return window;
        if (GetTickCount() - start >= ms)
            return nullptr;
        Sleep(20);
    }
}

// The program's dialog windows other than its main dialog: its message boxes.
HWND OpenBox(DWORD processId, HWND mainDialog) {
    for (const HWND window : FindDialogs(processId))
        if (window != mainDialog)
            return window;
    return nullptr;
}

// The main dialog and the ways a user reaches its controls from outside.
class DrivenFendrik {
public:
    explicit DrivenFendrik(const std::string& directory) : process_(FendrikPath(), "", directory) {
        if (!process_.Started())
            return;
        dialog_ = WaitFor(
            [&]() -> HWND {
                for (const HWND window : FindDialogs(process_.Id()))
                    if (WindowText(window) == kDialogCaption)
                        return window;
                return nullptr;
            },
            20000);
    }

    ChildProcess& Process() { return process_; }
    HWND Dialog() const { return dialog_; }

    // As typing does: the edit raises its change notification in Fendrik.
    bool Type(int id, const std::string& text) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(GetDlgItem(dialog_, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                   SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
    }
    // An automatic check box toggles before it tells its dialog, as here.
    bool Check(int id) {
        DWORD_PTR result = 0;
        const HWND box = GetDlgItem(dialog_, id);
        return SendMessageTimeoutA(box, BM_SETCHECK, BST_CHECKED, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) &&
               SendMessageTimeoutA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(box),
                                   SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    }
    // Sent without waiting: the handler may open a modal box, which a sent
    // message would wait for, and a posted one would be overtaken by later sends.
    bool Click(int id) {
        return SendNotifyMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                  reinterpret_cast<LPARAM>(GetDlgItem(dialog_, id))) != 0;
    }
    // The count of list box id, or -1 while the dialog is busy.
    int ListCount(int id) {
        DWORD_PTR count = 0;
        if (!SendMessageTimeoutW(GetDlgItem(dialog_, id), LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 500, &count))
            return -1;
        return static_cast<int>(count);
    }
    // Across processes the list box answers in UTF-16 whatever was asked.
    std::string ListText(int id, int index) {
        const HWND list = GetDlgItem(dialog_, id);
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length) ||
            static_cast<LRESULT>(length) == LB_ERR)
            return std::string();
        std::wstring wide(length + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&wide[0]), SMTO_ABORTIFHUNG,
                                 kSendTimeoutMs, &copied))
            return std::string();
        char narrow[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
        return narrow;
    }
    HWND WaitForBox(DWORD ms) {
        return WaitFor([&] { return OpenBox(process_.Id(), dialog_); }, ms);
    }

private:
    ChildProcess process_;
    HWND dialog_ = nullptr;
};

} // namespace

TEST(FendrikEndToEnd, ARefusalThenASelfCatenatingSplitWhoseFirstPieceRejoinsTheFile) {
    TempDir dir;
    const std::string data = TestBytes(200000, 21);
    dir.Write("movie.avi", data);

    // Started in the folder of the large file, as the file picker leaves it.
    DrivenFendrik fendrik(dir.Path());
    ASSERT_TRUE(fendrik.Process().Started()) << FendrikPath() << ": error " << fendrik.Process().StartError();
    ASSERT_NE(nullptr, fendrik.Dialog()) << "the main dialog never appeared";

    ASSERT_TRUE(fendrik.Type(IDC_LARGE_FILE, dir.File("movie.avi")));
    ASSERT_TRUE(fendrik.Type(IDC_SPLIT_SIZE, "200000"));
    ASSERT_TRUE(fendrik.Click(IDC_START_SPLIT));
    const HWND refusal = fendrik.WaitForBox(10000);
    ASSERT_NE(nullptr, refusal) << "no box for a file exactly as large as a piece";
    const BoxContent shown = ReadMessageBox(refusal);
    EXPECT_EQ("Fendrik", shown.caption) << "boxes carry the program's name";
    EXPECT_EQ("Large File <= Split Size", shown.text);
    EXPECT_TRUE(ShowsIcon(shown.icon, BoxIcon::Exclamation)) << BoxIconName(shown.icon);
    ASSERT_TRUE(PressButton(refusal, IDOK));
    ASSERT_TRUE(WaitUntilGone(refusal, 5000));

    ASSERT_TRUE(fendrik.Type(IDC_SPLIT_SIZE, "100000"));
    ASSERT_TRUE(fendrik.Check(IDC_SELF_CATENATE));
    ASSERT_TRUE(fendrik.Click(IDC_START_SPLIT));
    const DWORD start = GetTickCount();
    int count = -1;
    while ((count = fendrik.ListCount(IDC_SPLIT_LIST)) <= 0 && GetTickCount() - start < 30000) {
        if (const HWND box = OpenBox(fendrik.Process().Id(), fendrik.Dialog()))
            FAIL() << "the split showed a box: " << ReadMessageBox(box).text;
        Sleep(50);
    }
    ASSERT_EQ(3, count) << "the split list after the split";
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(fendrik.ListText(IDC_SPLIT_LIST, i));
    std::sort(lines.begin(), lines.end());
    const size_t total = 45056 + (CrcTextOf(data) + "#movie.avi;").size() + data.size();
    EXPECT_EQ((std::vector<std::string>{"_Split#000.exe\t 100000 bytes", "_Split#001\t 100000 bytes",
                                        "_Split#002\t " + std::to_string(total - 200000) + " bytes"}),
              lines);

    // "Dismiss" ends the program.
    ASSERT_TRUE(fendrik.Click(IDCANCEL));
    EXPECT_TRUE(fendrik.Process().WaitForExit(10000)) << "Fendrik did not end after Dismiss";
    EXPECT_EQ(0u, fendrik.Process().ExitCode());

    const RobotResult result = RunFirstPieceAside(dir, "movie.avi");
    ASSERT_TRUE(result.started) << "CreateProcess error " << result.startError;
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ((std::vector<std::string>{"User Confirm: Self Catenate Splited Files?",
                                        "Info: CRC check OK. Catenated File OK"}),
              result.Lines());
    EXPECT_TRUE(dir.Read("movie.avi") == data) << "the rejoined file differs from the large file";
}
