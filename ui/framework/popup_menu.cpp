// The popup menu of a list box.
#include "ui/framework/popup_menu.h"

PopupMenu::PopupMenu(int resourceId) : menu_(LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId))) {}

HMENU PopupMenu::Popup() const {
    return menu_.IsValid() ? GetSubMenu(menu_.Get(), 0) : nullptr;
}

void PopupMenu::Disable(UINT commandId) {
    if (const HMENU popup = Popup())
        EnableMenuItem(popup, commandId, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

void PopupMenu::Show(HWND owner, POINT screenPoint) {
    if (const HMENU popup = Popup())
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screenPoint.x, screenPoint.y, 0, owner, nullptr);
}
