// The main dialog's frame: start values, the progress tick, the drag icon,
// how it ends, and that no failure escapes its window procedure.
#include "platform/file.h"
#include "tests/wine/ui/dialog_fixture.h"
#include "tests/wine/ui/robot.h"
#include "ui/framework/message_map.h"
#include "ui/framework/taskbar_progress.h"

TEST_F(DialogTest, StartsWithTheDefaults) {
    EXPECT_EQ("1457664", Text(IDC_SPLIT_SIZE));
    EXPECT_EQ("# splits:", Text(IDC_SPLIT_COUNT));
    for (int id : {IDC_LARGE_FILE, IDC_FIRST_PIECE, IDC_SIZE_STEP_LABEL, IDC_FILE_SIZE, IDC_FILE_CRC})
        EXPECT_EQ("", Text(id)) << "edit " << id;
    EXPECT_FALSE(Checked(IDC_WITHOUT_CRC));
    EXPECT_FALSE(Checked(IDC_SELF_CATENATE));
    EXPECT_EQ(0, SendMessageA(dialog.Item(IDC_SPLIT_LIST), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, SendMessageA(dialog.Item(IDC_CAT_LIST), LB_GETCOUNT, 0, 0));

    EXPECT_EQ(1457664, dialog.SplitSize());
    EXPECT_EQ("", dialog.LargeFileName());
    EXPECT_EQ("", dialog.StoredCrcText());
    EXPECT_EQ("", dialog.FirstPiecePath());
    EXPECT_TRUE(dialog.CatenationList().empty());
    EXPECT_FALSE(dialog.WithoutCrc());
    EXPECT_FALSE(dialog.SelfCatenate());
    EXPECT_TRUE(messenger.shown.empty()) << "first message: " << messenger.shown.front();

    DWORD range = static_cast<DWORD>(SendMessageA(dialog.Item(IDC_SIZE_STEP), UDM_GETRANGE, 0, 0));
    EXPECT_EQ(1, HIWORD(range)) << "lower limit";
    EXPECT_EQ(40, LOWORD(range)) << "upper limit";
}

TEST_F(DialogTest, CarriesIcon128AsLargeAndSmallIconAndAsDragIcon) {
    ASSERT_NE(nullptr, dialog.IconHandle()) << "icon 128 did not load";
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.IconHandle()), SendMessageA(dialog.Handle(), WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.IconHandle()), SendMessageA(dialog.Handle(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.IconHandle()), SendMessageA(dialog.Handle(), WM_QUERYDRAGICON, 0, 0));
}

TEST_F(DialogTest, DismissEscapeAndEnterEndAModelessDialog) {
    Click(IDCANCEL);
    EXPECT_EQ(nullptr, dialog.Handle()) << "Dismiss left the window open";
    EXPECT_EQ(IDCANCEL, dialog.Result());

    ASSERT_TRUE(dialog.Create());
    SendMessageA(dialog.Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(nullptr, dialog.Handle()) << "Enter (IDOK) left the window open";
    EXPECT_EQ(IDOK, dialog.Result());

    ASSERT_TRUE(dialog.Create());
    SendMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
    // The close box posts its IDCANCEL.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(nullptr, dialog.Handle()) << "the close box left the window open";
    EXPECT_EQ(IDCANCEL, dialog.Result());
}

namespace {

const char kCaption[] = "Splitting a large file into small files OR Concatenate files";

// Runs the dialog modally while the robot does one thing to it once it is up.
INT_PTR RunModal(std::function<void(HWND)> act, bool* robotGaveUp) {
    InitCommonControlsOnce();
    RecordingMessenger messenger;
    ScriptedPickers pickers;
    MainDialog modal(messenger, pickers);
    Robot robot([&] {
        const HWND window = FindWindowA(nullptr, kCaption);
        if (!window || !IsWindowVisible(window))
            return false;
        act(window);
        return true;
    });
    const INT_PTR result = modal.DoModal();
    *robotGaveUp = robot.GaveUp();
    return result;
}

void PostKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

} // namespace

TEST(ModalDialog, DismissEndsItWithCancel) {
    bool gaveUp = false;
    const INT_PTR result = RunModal([](HWND w) { PostMessageA(GetDlgItem(w, IDCANCEL), BM_CLICK, 0, 0); }, &gaveUp);
    EXPECT_FALSE(gaveUp) << "the robot never saw the dialog";
    EXPECT_EQ(IDCANCEL, result);
}

TEST(ModalDialog, EscapeEndsItWithCancel) {
    bool gaveUp = false;
    const INT_PTR result = RunModal(
        [](HWND w) {
            SetFocus(GetDlgItem(w, IDC_LARGE_FILE));
            PostKey(GetDlgItem(w, IDC_LARGE_FILE), VK_ESCAPE);
        },
        &gaveUp);
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(IDCANCEL, result);
}

TEST(ModalDialog, EnterInAnEditEndsItWithOk) {
    bool gaveUp = false;
    const INT_PTR result = RunModal(
        [](HWND w) {
            SetFocus(GetDlgItem(w, IDC_LARGE_FILE));
            PostKey(GetDlgItem(w, IDC_LARGE_FILE), VK_RETURN);
        },
        &gaveUp);
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(IDOK, result);
}

TEST(ModalDialog, TheCloseBoxEndsItWithCancel) {
    bool gaveUp = false;
    const INT_PTR result = RunModal([](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); }, &gaveUp);
    EXPECT_FALSE(gaveUp);
    EXPECT_EQ(IDCANCEL, result);
}

namespace {

// A dialog whose only handler fails, to show what the window procedure does with it.
class FailingDialog : public Dialog {
public:
    explicit FailingDialog(Messenger& messenger) : Dialog(IDD_FENDRIK, messenger) {}

    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Fail() { throw FileException(FileCause::AccessDenied, 5, "C:\\x.bin"); }
    void FailOddly() { throw 42; }
    static const MessageMapEntry<FailingDialog> kMap[];
};

const MessageMapEntry<FailingDialog> FailingDialog::kMap[] = {
    {WM_COMMAND, IDC_START_SPLIT, BN_CLICKED, &CommandHandler<FailingDialog, &FailingDialog::Fail>},
    {WM_COMMAND, IDC_START_CAT, BN_CLICKED, &CommandHandler<FailingDialog, &FailingDialog::FailOddly>},
};

std::optional<INT_PTR> FailingDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchToMap(kMap, *this, message, wParam, lParam);
}

} // namespace

TEST(DialogBoundary, AFailureInAHandlerIsReportedAndTheDialogLivesOn) {
    InitCommonControlsOnce();
    RecordingMessenger messenger;
    FailingDialog failing(messenger);
    ASSERT_TRUE(failing.Create());
    SendMessageA(failing.Item(IDC_START_SPLIT), BM_CLICK, 0, 0);
    ASSERT_EQ(1u, messenger.shown.size());
    EXPECT_EQ(Icon::Hand, messenger.shown[0].icon);
    EXPECT_NE(std::string::npos, messenger.shown[0].text.find("C:\\x.bin")) << messenger.shown[0];
    SendMessageA(failing.Item(IDC_START_CAT), BM_CLICK, 0, 0);
    ASSERT_EQ(2u, messenger.shown.size());
    EXPECT_EQ("Unexpected error", messenger.shown[1].text);
    EXPECT_TRUE(IsWindow(failing.Handle())) << "the dialog did not survive";
}

TEST_F(DialogTest, TheTaskbarButtonShowsAJobsProgressWhereTheShellHasATaskbar) {
    TaskbarProgress taskbar;
    if (!taskbar.Available())
        GTEST_SKIP() << "this system's shell offers no taskbar object";
    EXPECT_TRUE(taskbar.Show(dialog.Handle(), 500, 1000));
    EXPECT_TRUE(taskbar.Clear(dialog.Handle()));
}
