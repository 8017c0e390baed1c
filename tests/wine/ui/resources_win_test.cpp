// The dialog template, menus and string table as the program carries them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/ui/dialog_fixture.h"

namespace {

std::string ClassOf(HWND window) {
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    return cls;
}

LONG StyleOf(HWND window) {
    return GetWindowLongA(window, GWL_STYLE);
}

std::string ResourceString(UINT id) {
    char text[256] = {};
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

} // namespace

TEST_F(DialogTest, CaptionAndWindowStyles) {
    char caption[128] = {};
    GetWindowTextA(dialog.Handle(), caption, sizeof caption);
    EXPECT_STREQ("Splitting a large file into small files OR Concatenate files", caption);
    const LONG style = StyleOf(dialog.Handle());
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_MINIMIZEBOX) << "no minimise box";
    EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "no maximise box";
    EXPECT_TRUE(GetWindowLongA(dialog.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW) << "own task-bar button";
}

TEST_F(DialogTest, ControlsInTabOrder) {
    // Template order is tab order; -1 marks the labels and the size frame; the halves' frames
    // have ids, since a drop goes to the half whose frame holds it.
    const std::vector<int> expected = {1000, 1001, 1006, 1009, 1008, 1005, 2,    -1,   -1,   1011, -1,
                                       1012, 1013, 1022, 1014, 1015, 1023, 1007, 1002, 1016, -1,   1010,
                                       -1,   1017, -1,   1018, -1,   1019, 1020, 1021, -1,   1024, 1025};
    std::vector<int> ids;
    for (HWND child = GetWindow(dialog.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ids.push_back(static_cast<short>(GetDlgCtrlID(child)));
    EXPECT_EQ(expected, ids);
    EXPECT_EQ("msctls_updown32", ClassOf(dialog.Item(IDC_SIZE_STEP)));
    EXPECT_EQ("msctls_progress32", ClassOf(dialog.Item(IDC_SPLIT_PROGRESS)));
}

TEST_F(DialogTest, ListBoxesKeepTheirOrder) {
    for (int id : {IDC_SPLIT_LIST, IDC_CAT_LIST}) {
        const LONG style = StyleOf(dialog.Item(id));
        EXPECT_FALSE(style & LBS_SORT) << "list box " << id << " sorts";
        EXPECT_TRUE(style & LBS_EXTENDEDSEL) << "list box " << id;
        EXPECT_TRUE(style & LBS_USETABSTOPS) << "list box " << id;
        EXPECT_TRUE(style & LBS_NOTIFY) << "list box " << id;
    }

    const HWND list = dialog.Item(IDC_CAT_LIST);
    for (const char* line : {"b", "a", "c"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    char text[8] = {};
    SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("b", text) << "lines stay where they were added";
}

TEST_F(DialogTest, TheUpDownControlWrapsAndHasNoBuddy) {
    const LONG style = StyleOf(dialog.Item(IDC_SIZE_STEP));
    EXPECT_TRUE(style & UDS_WRAP);
    EXPECT_TRUE(style & UDS_ARROWKEYS);
    EXPECT_TRUE(style & UDS_NOTHOUSANDS);
    EXPECT_FALSE(style & UDS_SETBUDDYINT);
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(SendMessageA(dialog.Item(IDC_SIZE_STEP), UDM_GETBUDDY, 0, 0)));
}

TEST_F(DialogTest, TheRecoveryCountIsANumberEditWithAnUpDownFromNoneToAThousand) {
    EXPECT_EQ("0", Text(IDC_RECOVERY_COUNT)) << "no recovery files unless asked for";
    EXPECT_TRUE(StyleOf(dialog.Item(IDC_RECOVERY_COUNT)) & ES_NUMBER);
    const HWND spin = dialog.Item(IDC_RECOVERY_STEP);
    EXPECT_EQ(dialog.Item(IDC_RECOVERY_COUNT), reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)));
    EXPECT_EQ(MAKELONG(1000, 0), SendMessageA(spin, UDM_GETRANGE, 0, 0)) << "low word the upper end, high the lower";
    SendMessageA(spin, UDM_SETPOS, 0, MAKELPARAM(3, 0));
    EXPECT_EQ("3", Text(IDC_RECOVERY_COUNT)) << "the up-down writes its position into the edit";
}

TEST(Resources, MenusOfTheTwoListBoxes) {
    struct Menu {
        int id;
        std::vector<UINT> items; // 0 for a separator
    };
    const Menu menus[] = {
        {IDM_SPLIT_LIST_MENU, {65535, 0, 32774, 32775, 32776}},
        {IDM_CAT_LIST_MENU, {65535, 0, 32782, 32783, 0, 32777, 32778, 32779, 0, 32780, 32781, 32784}},
    };
    for (const Menu& m : menus) {
        const HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m.id));
        ASSERT_NE(nullptr, menu) << "menu " << m.id;
        const HMENU popup = GetSubMenu(menu, 0);
        ASSERT_NE(nullptr, popup) << "menu " << m.id;
        std::vector<UINT> items;
        for (int i = 0; i < GetMenuItemCount(popup); ++i)
            items.push_back(GetMenuItemID(popup, i) == static_cast<UINT>(-1) ? 0 : GetMenuItemID(popup, i));
        EXPECT_EQ(m.items, items) << "menu " << m.id;
        DestroyMenu(menu);
    }
    const HMENU cat = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_CAT_LIST_MENU));
    char text[64] = {};
    GetMenuStringA(GetSubMenu(cat, 0), 32780, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("File &Info (_Split#000 only)", text);
    DestroyMenu(cat);
}

TEST(Resources, StringTable) {
    EXPECT_EQ("File%i", ResourceString(IDS_JOIN_FILE_NAME));
    EXPECT_EQ("Copy Selected Splitted Files to ...", ResourceString(32774));
    EXPECT_EQ("Delete immediate File(s)", ResourceString(32779));
    EXPECT_EQ("Display Size and CRC32", ResourceString(32781));
    EXPECT_EQ("Splitted Files for Cat OR Catenated File", ResourceString(65535));
}

TEST_F(DialogTest, TheDialogUsesTheSystemsShellFont) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog.Handle(), WM_GETFONT, 0, 0));
    LOGFONTA face{};
    ASSERT_NE(0, GetObjectA(font, sizeof face, &face));
    EXPECT_STREQ("MS Shell Dlg 2", face.lfFaceName) << "the face that follows the system and scales with its DPI";
}
