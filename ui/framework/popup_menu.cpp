// The popup menu of a list box.
#include "ui/framework/popup_menu.h"

#include <utility>

PopupMenu::PopupMenu(int resourceId) : menu_(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId))) {}

PopupMenu::~PopupMenu() {
    if (menu_)
        DestroyMenu(menu_);
}

PopupMenu::PopupMenu(PopupMenu&& other) noexcept : menu_(std::exchange(other.menu_, nullptr)) {}

PopupMenu& PopupMenu::operator=(PopupMenu&& other) noexcept {
    if (this != &other) {
        if (menu_)
            DestroyMenu(menu_);
        menu_ = std::exchange(other.menu_, nullptr);
    }
    return *this;
}

HMENU PopupMenu::Popup() const {
    return menu_ ? GetSubMenu(menu_, 0) : nullptr;
}

void PopupMenu::Disable(UINT commandId) {
    if (const HMENU popup = Popup())
        EnableMenuItem(popup, commandId, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

void PopupMenu::Show(HWND owner, POINT screenPoint) {
    if (const HMENU popup = Popup())
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, owner, nullptr);
}
