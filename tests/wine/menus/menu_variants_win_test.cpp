// Which menu a right click opens and which of its items are greyed, read from
// the real popup while it is open.
#include <algorithm>
#include <map>

#include "tests/wine/menus/menu_fixture.h"

namespace {

struct OpenedMenu {
    bool opened = false;
    std::string title;
    std::map<unsigned, bool> greyed; // every command of the popup: greyed or not
};

// The dialog's window gets WM_INITMENUPOPUP with the popup just before it
// shows: a window procedure put in front of the dialog's reads the items then.
// A thread timer ends the menu, as the menu's own loop keeps it ticking.
class MenuSpy {
public:
    static OpenedMenu OpenAt(HWND dialog, HWND source, POINT at) {
        OpenedMenu menu;
        seen_ = &menu;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuSpy::Procedure)));
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, &MenuSpy::EndTheMenu);
        SendMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(source),
                     MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        KillTimer(nullptr, timer);
        SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        seen_ = nullptr;
        return menu;
    }

private:
    static void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITMENUPOPUP && seen_) {
            const HMENU popup = reinterpret_cast<HMENU>(wParam);
            seen_->opened = true;
            char title[128] = {};
            GetMenuStringA(popup, IDM_MENU_TITLE, title, sizeof title, MF_BYCOMMAND);
            seen_->title = title;
            const int count = GetMenuItemCount(popup);
            for (int i = 0; i < count; ++i) {
                const UINT id = GetMenuItemID(popup, i);
                if (id == 0 || id == IDM_MENU_TITLE || id == static_cast<UINT>(-1))
                    continue; // separators and the title line
                seen_->greyed[id] = (GetMenuState(popup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
            }
        }
        return CallWindowProcA(original_, window, message, wParam, lParam);
    }

    static inline OpenedMenu* seen_ = nullptr;
    static inline WNDPROC original_ = nullptr;
};

POINT CentreOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

const unsigned kSplitCommands[] = {IDM_SPLIT_COPY, IDM_SPLIT_MOVE, IDM_SPLIT_DELETE};
const unsigned kCatCommands[] = {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN,  IDM_CAT_COPY,         IDM_CAT_MOVE,
                                 IDM_CAT_DELETE, IDM_CAT_FILE_INFO, IDM_CAT_SIZE_AND_CRC, IDM_CAT_CHECK_PIECES};

// What the popup should hold: every command of its menu, greyed when listed.
template <size_t N> std::map<unsigned, bool> Expected(const unsigned (&commands)[N], std::vector<unsigned> greyed) {
    std::map<unsigned, bool> expected;
    for (unsigned id : commands)
        expected[id] = std::find(greyed.begin(), greyed.end(), id) != greyed.end();
    return expected;
}

std::string Describe(const std::map<unsigned, bool>& items) {
    std::string text;
    for (const auto& [id, greyed] : items)
        text += std::to_string(id) + (greyed ? " greyed, " : " active, ");
    return text;
}

class MenuVariants : public MenuTest {
protected:
    OpenedMenu RightClick(int listId) { return MenuSpy::OpenAt(dialog.Handle(), List(listId), CentreOf(List(listId))); }
};

} // namespace

TEST_F(MenuVariants, SplitListEmptyOrFilled) {
    OpenedMenu menu = RightClick(IDC_SPLIT_LIST);
    ASSERT_TRUE(menu.opened) << "a right click on the empty split list box opened no menu";
    EXPECT_EQ("Menu: Splitted Files", menu.title);
    EXPECT_EQ(Expected(kSplitCommands, {IDM_SPLIT_COPY, IDM_SPLIT_MOVE, IDM_SPLIT_DELETE}), menu.greyed)
        << Describe(menu.greyed);

    ShowSplitList("C:\\data\\big.bin", {"_Split#000", "_Split#001"});
    menu = RightClick(IDC_SPLIT_LIST);
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(Expected(kSplitCommands, {}), menu.greyed) << Describe(menu.greyed);
}

TEST_F(MenuVariants, EmptyCatenateListGreysEveryCommand) {
    const OpenedMenu menu = RightClick(IDC_CAT_LIST);
    ASSERT_TRUE(menu.opened) << "a right click on the empty catenate list box opened no menu";
    EXPECT_EQ("Menu: Files to Catenate", menu.title);
    EXPECT_EQ(Expected(kCatCommands, {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN, IDM_CAT_COPY, IDM_CAT_MOVE, IDM_CAT_DELETE,
                                      IDM_CAT_FILE_INFO, IDM_CAT_SIZE_AND_CRC, IDM_CAT_CHECK_PIECES}),
              menu.greyed)
        << Describe(menu.greyed);
}

TEST_F(MenuVariants, DiscoveredSetOffersFileInfoNotReordering) {
    TempDir dir;
    WriteSplitSet(dir, TestBytes(300), "data.bin", 3);
    Discover(dir.File("_Split#000"));
    ASSERT_EQ(3u, ListLines(IDC_CAT_LIST).size()) << "the set was not discovered";

    const OpenedMenu menu = RightClick(IDC_CAT_LIST);
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(Expected(kCatCommands, {IDM_CAT_POS_UP, IDM_CAT_POS_DOWN}), menu.greyed) << Describe(menu.greyed);
}

TEST_F(MenuVariants, ExplicitSelectionOffersReorderingNotFileInfo) {
    TempDir dir;
    SelectExplicitly(WriteFiles(dir, {"b.txt", "a.txt"}));
    ASSERT_TRUE(dialog.ExplicitSelection());

    const OpenedMenu menu = RightClick(IDC_CAT_LIST);
    ASSERT_TRUE(menu.opened);
    EXPECT_EQ(Expected(kCatCommands, {IDM_CAT_FILE_INFO, IDM_CAT_CHECK_PIECES}), menu.greyed) << Describe(menu.greyed);
}

TEST_F(MenuVariants, NoMenuOutsideTheListBoxesNorForTheKeyboardPoint) {
    ShowSplitList("C:\\data\\big.bin", {"_Split#000"});
    RECT dialogRect;
    GetWindowRect(dialog.Handle(), &dialogRect);
    const POINT corner{dialogRect.left + 2, dialogRect.top + 2};
    EXPECT_FALSE(MenuSpy::OpenAt(dialog.Handle(), dialog.Handle(), corner).opened) << "a click beside the lists";
    // The keyboard's point (-1, -1) lies in neither list box here.
    EXPECT_FALSE(MenuSpy::OpenAt(dialog.Handle(), List(IDC_SPLIT_LIST), POINT{-1, -1}).opened)
        << "the keyboard's menu point";
}
