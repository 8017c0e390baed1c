// A menu resource loaded for one right click: grey items, show its first
// popup at a point, destroyed with the object.
#pragma once

#include <windows.h>

class PopupMenu {
public:
    explicit PopupMenu(int resourceId);
    ~PopupMenu();
    PopupMenu(PopupMenu&& other) noexcept;
    PopupMenu& operator=(PopupMenu&& other) noexcept;
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    bool IsLoaded() const { return menu_ != nullptr; }
    // Greys and disables the item with this command id in the popup.
    void Disable(UINT commandId);
    // Shows submenu 0 at a screen point, left-aligned, answering the right button;
    // a chosen item reaches owner as WM_COMMAND.
    void Show(HWND owner, POINT screenPoint);
    HMENU Popup() const;

private:
    HMENU menu_ = nullptr;
};
