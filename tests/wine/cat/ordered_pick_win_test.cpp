// The real open-file dialog behind "Select specific splitted files": files
// clicked in the list view come back in click order and are joined that way;
// a file never clicked is left out.
#include <functional>

#include "tests/wine/cat/cat_dialog_fixture.h"
#include "tests/wine/ui/robot.h"

namespace {

// The list-view index of the file shown as name; -1 while it is not shown.
int ItemIndex(HWND dialog, const std::string& name) {
    const HWND list = FileListOf(dialog);
    if (!list)
        return -1;
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = name.c_str();
    return static_cast<int>(
        SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

// Adds item i to the selection and gives it the focus, as a Ctrl-click does.
void CtrlClick(HWND dialog, int i) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(FileListOf(dialog), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

// The file-name field: a combo box, or under Wine a plain edit in the multiple-selection form.
int FileNameField(HWND dialog) {
    constexpr int kFileNameCombo = 0x47c;
    constexpr int kFileNameEdit = 0x480;
    return GetDlgItem(dialog, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
}

// The robot's script: go to folder, click the names in order, one per tick, then Open.
class ClickInOrder {
public:
    ClickInOrder(HWND mainDialog, std::string folder, std::vector<std::string> names)
        : main_(mainDialog), folder_(std::move(folder)), names_(std::move(names)) {}

    bool operator()() {
        const HWND dialog = FindThreadDialog(main_);
        if (!dialog)
            return false;
        // The dialog fills its view after it shows; text typed before that is lost.
        if (++ticks_ < 5)
            return false;
        if (!navigated_) {
            SetDlgItemTextA(dialog, FileNameField(dialog), folder_.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            navigated_ = true;
            return false;
        }
        if (next_ < names_.size()) {
            const int index = ItemIndex(dialog, names_[next_]);
            if (index < 0)
                return false; // the folder's view is not filled yet
            CtrlClick(dialog, index);
            ++next_;
            return false;
        }
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return true;
    }

private:
    HWND main_;
    std::string folder_;
    std::vector<std::string> names_;
    int ticks_ = 0;
    bool navigated_ = false;
    size_t next_ = 0;
};

} // namespace

TEST(OrderedPick, RealDialogGivesClickOrderAndStartCatJoinsInIt) {
    InitCommonControlsOnce();
    TempDir dir;
    dir.Write("piece_a", "alpha");
    dir.Write("piece_b", "bravo");
    dir.Write("piece_c", "charlie");
    dir.Write("piece_d", "delta");
    RecordingMessenger messenger;
    FilePickers pickers(messenger);
    MainDialog dialog(messenger, pickers);
    ASSERT_TRUE(dialog.Create()) << "error " << GetLastError();

    // Wine's dialog names the selected files in list order in its file-name field, so the picker
    // sees a click only when it lands above every file chosen before: here each click goes higher up.
    const std::vector<std::string> order{"piece_d", "piece_c", "piece_a"};
    {
        Robot robot(ClickInOrder(dialog.Handle(), dir.Path(), order), 300);
        SendMessageA(dialog.Item(IDC_SELECT_SPECIFIC), BM_CLICK, 0, 0);
        ASSERT_TRUE(robot.Finished()) << "the robot could not drive the open-file dialog";
    }
    EXPECT_TRUE(dialog.ExplicitSelection());
    EXPECT_EQ(PathsIn(dir, order), dialog.CatenationList()) << "the order of the clicks";

    // The dialog left the current directory at the chosen folder: the join lands there.
    SendMessageA(dialog.Item(IDC_START_CAT), BM_CLICK, 0, 0);
    dialog.WaitForJob();
    ASSERT_EQ(1u, messenger.shown.size()) << ::testing::PrintToString(messenger.shown);
    const std::string& text = messenger.shown[0].text;
    const std::string prefix = "Catenated File: ";
    ASSERT_EQ(0u, text.rfind(prefix, 0)) << messenger.shown[0];
    const std::string name = text.substr(prefix.size(), text.size() - prefix.size() - 5);
    EXPECT_EQ("deltacharliealpha", dir.Read(name)) << "joined in click order";
}
