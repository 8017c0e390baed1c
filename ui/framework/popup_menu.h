// A menu resource loaded for one right click: grey items, show its first
// popup at a point, destroyed with the object.
#pragma once

#include <windows.h>

#include "platform/owned_handles.h"

class PopupMenu {
public:
    explicit PopupMenu(int resourceId);

    bool IsLoaded() const { return menu_.IsValid(); }
    // Greys and disables the item with this command id in the popup.
    void Disable(UINT commandId);
    // Shows submenu 0 at a screen point, left-aligned, answering the right button;
    // a chosen item reaches owner as WM_COMMAND.
    void Show(HWND owner, POINT screenPoint);
    HMENU Popup() const;

private:
    MenuHandle menu_;
};
