// Message boxes of another process: finding, reading and pressing them.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

enum class BoxIcon {
    None,        // no icon shown
    Hand,        // MB_ICONHAND, the stop sign
    Question,    // MB_ICONQUESTION
    Exclamation, // MB_ICONEXCLAMATION
    Asterisk,    // MB_ICONINFORMATION
    Unknown,     // an icon is shown, but this process cannot tell which (Wine: handles are per process)
};

const char* BoxIconName(BoxIcon icon);

// True when seen is expected, or when an icon was expected and one is shown
// that the platform does not let another process identify.
bool ShowsIcon(BoxIcon seen, BoxIcon expected);

struct BoxContent {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::Unknown;
};

// Visible top-level dialog windows (class "#32770") of one process: its message
// boxes, and its dialogs too when the program has any.
std::vector<HWND> FindDialogs(DWORD processId);

// Caption, text (the static control 0xFFFF) and icon of a message box.
BoxContent ReadMessageBox(HWND box);

// Presses a button (IDOK, IDCANCEL, IDYES...) by WM_COMMAND, as a click would.
// False when the box did not take the message within the time limit.
bool PressButton(HWND box, int id);

// True once the window is destroyed or hidden; waits at most ms milliseconds.
bool WaitUntilGone(HWND box, DWORD ms);

// The text of a window in another process, read with a time limit.
std::string WindowText(HWND window);
