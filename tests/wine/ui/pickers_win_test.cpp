// The real common-dialog pickers and message boxes, answered by a robot.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/support/recording_messenger.h"
#include "tests/support/temp_dir.h"
#include "tests/wine/ui/robot.h"
#include "ui/file_picker.h"
#include "ui/framework/win32_messenger.h"

namespace {

// Waits until a common dialog has settled, then acts on it once. The dialog
// fills its folder view after it shows, and text typed before that is lost.
std::function<bool()> OnceSettled(std::function<void(HWND)> act) {
    return [act, seen = 0]() mutable {
        const HWND dialog = FindThreadDialog();
        if (!dialog || ++seen < 5)
            return false;
        act(dialog);
        return true;
    };
}

// Then one action on each later tick, so the dialog handles each before the next.
std::function<bool()> InTurn(std::vector<std::function<void(HWND)>> acts) {
    return [acts, seen = 0, next = size_t{0}]() mutable {
        const HWND dialog = FindThreadDialog();
        if (!dialog || ++seen < 5)
            return false;
        acts[next++](dialog);
        return next == acts.size();
    };
}

// Selects item i of the dialog's file list, adding to the selection as a Ctrl-click does.
std::function<void(HWND)> SelectItem(int i) {
    return [i](HWND dialog) {
        const HWND list = FileListOf(dialog);
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    };
}

void PressOpen(HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

std::function<bool()> TypeAndOpen(const std::string& text) {
    return OnceSettled([text](HWND dialog) {
        SetDlgItemTextA(dialog, 0x47c, text.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

std::function<bool()> Cancel() {
    return OnceSettled([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
}

} // namespace

TEST(FilePicker, CancelGivesAnEmptyPathAndNoMessage) {
    RecordingMessenger messenger;
    CFilePicker picker(messenger);
    Robot robot(Cancel());
    EXPECT_EQ("", picker.PickFile("C:\\", "Select a large file", ""));
    EXPECT_TRUE(robot.Finished()) << "the robot never saw the dialog";
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST(FilePicker, AChosenFileComesBackWithItsFullPathAndBecomesTheCurrentFolder) {
    TempDir dir;
    dir.Write("large.bin", "data");
    RecordingMessenger messenger;
    CFilePicker picker(messenger);
    Robot robot(TypeAndOpen(dir.File("large.bin")));
    const std::string chosen = picker.PickFile(dir.Path(), "Select a large file", "");
    EXPECT_TRUE(robot.Finished());
    EXPECT_EQ(dir.File("large.bin"), chosen);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(dir.Path(), std::string(current)) << "output lands beside the chosen file";
}

TEST(FilePicker, AnOrderedPickGivesClickOrderAndCancelLeavesTheListAlone) {
    TempDir dir;
    for (const char* name : {"b.bin", "A.bin"})
        dir.Write(name, name);
    RecordingMessenger messenger;
    CFilePicker picker(messenger);
    std::vector<std::string> list{"left alone on cancel"};
    const std::string filter("All (*.*)\0*.*\0_Split#nnn\0_Split#*\0", 34);
    {
        Robot robot(Cancel());
        EXPECT_FALSE(picker.PickFilesInOrder(dir.Path(), "Click Correct Sequence of Splitted Files", filter, list));
        EXPECT_TRUE(robot.Finished()) << "the robot never saw the dialog";
    }
    EXPECT_EQ((std::vector<std::string>{"left alone on cancel"}), list);

    // Click b, then Ctrl-click A: the hook records them in that order.
    Robot robot(InTurn({SelectItem(1), SelectItem(0), PressOpen}));
    ASSERT_TRUE(picker.PickFilesInOrder(dir.Path(), "Click Correct Sequence of Splitted Files", filter, list));
    EXPECT_EQ((std::vector<std::string>{dir.File("b.bin"), dir.File("A.bin")}), list)
        << "click order, not the dialog's order";
    // The dialog may report an empty selection first; such an entry names no chosen file.
    const auto& record = SelectionRecordForTests();
    ASSERT_GE(record.size(), 2u);
    EXPECT_EQ((std::vector<std::string>{dir.File("b.bin"), dir.File("A.bin")}),
              std::vector<std::string>(record.end() - 2, record.end()));
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown.front();
}

TEST(FolderPicker, CancelGivesFalseAndAnEmptyFolder) {
    RecordingMessenger messenger;
    CFilePicker picker(messenger);
    std::string folder = "previous";
    Robot robot(Cancel());
    EXPECT_FALSE(picker.PickFolder(folder, "Select a destination folder"));
    EXPECT_TRUE(robot.Finished()) << "the robot never saw the dialog";
    EXPECT_EQ("", folder);
}

TEST(Pickers, TheOwnerWindowIsDisabledWhileAPickerIsOpen) {
    const HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                       nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, owner);
    RecordingMessenger messenger;
    CFilePicker picker(messenger, owner);
    HWND seenOwner = nullptr;
    BOOL ownerEnabled = TRUE;
    auto noteAndCancel = [&] {
        return OnceSettled([&](HWND dialog) {
            seenOwner = GetWindow(dialog, GW_OWNER);
            ownerEnabled = IsWindowEnabled(owner);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
    };
    {
        Robot robot(noteAndCancel());
        picker.PickFile("C:\\", "Select a large file", "");
        EXPECT_TRUE(robot.Finished());
        EXPECT_EQ(owner, seenOwner) << "the file picker has no owner";
        EXPECT_FALSE(ownerEnabled) << "the main dialog stays live under the file picker";
    }
    {
        seenOwner = nullptr;
        ownerEnabled = TRUE;
        std::string folder;
        Robot robot(noteAndCancel());
        picker.PickFolder(folder, "Select a destination folder");
        EXPECT_TRUE(robot.Finished());
        EXPECT_EQ(owner, seenOwner) << "the folder picker has no owner";
        EXPECT_FALSE(ownerEnabled) << "the main dialog stays live under the folder picker";
    }
    DestroyWindow(owner);
}

TEST(MessageBox, CaptionIsTheProgramsNameAndTheAnswerComesBack) {
    EXPECT_EQ("ui_win_tests", ProgramTitle());
    Win32Messenger messenger;
    std::string caption, text;
    auto press = [&](int button) {
        return [&caption, &text, button] {
            const HWND box = FindThreadDialog();
            if (!box)
                return false;
            caption = WindowText(box);
            text = WindowText(GetDlgItem(box, 0xFFFF));
            PostMessageA(box, WM_COMMAND, button, 0);
            return true;
        };
    };
    {
        Robot robot(press(IDOK));
        EXPECT_EQ(Answer::Ok, messenger.Show("Wrong number of bytes", Icon::Exclamation));
    }
    EXPECT_EQ("ui_win_tests", caption);
    EXPECT_EQ("Wrong number of bytes", text);

    Robot robot(press(IDCANCEL));
    EXPECT_EQ(Answer::Cancel, messenger.Show("Go on?", Icon::Question, Buttons::OkCancel));
    EXPECT_EQ("Go on?", text);
}

TEST(MessageBox, FlagsFollowIconAndButtons) {
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), MessageBoxFlags(Icon::Exclamation, Buttons::Ok));
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONHAND), MessageBoxFlags(Icon::Hand, Buttons::Ok));
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), MessageBoxFlags(Icon::Information, Buttons::Ok));
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION), MessageBoxFlags(Icon::Question, Buttons::OkCancel));
}
