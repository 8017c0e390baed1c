// A dialog's message map: one line per (message, control or command id,
// notification) -> handler, looked up in order.
#pragma once

#include <windows.h>

#include <optional>

// A handler gets the message's parameters and returns what the dialog
// procedure returns: TRUE when handled, FALSE for the default processing.
template <class D> struct MessageMapEntry {
    UINT message; // a window message, or WM_COMMAND for commands and control notifications
    UINT id;      // control or command id (WM_COMMAND only)
    UINT code;    // notification code: BN_CLICKED, EN_CHANGE; 0 for menu commands
    INT_PTR (*handler)(D& dialog, WPARAM wParam, LPARAM lParam);
};

// Calls a member without arguments for a command or notification; its result,
// if any, is for other callers. The command counts as handled.
template <class D, auto Member> INT_PTR CommandHandler(D& dialog, WPARAM, LPARAM) {
    (dialog.*Member)();
    return TRUE;
}

// The first entry that matches, called; empty when none does.
template <class D, size_t N>
std::optional<INT_PTR> DispatchToMap(const MessageMapEntry<D> (&map)[N], D& dialog, UINT message, WPARAM wParam,
                                     LPARAM lParam) {
    for (const auto& entry : map) {
        if (entry.message != message)
            continue;
        if (message == WM_COMMAND && (entry.id != LOWORD(wParam) || entry.code != HIWORD(wParam)))
            continue;
        return entry.handler(dialog, wParam, lParam);
    }
    return std::nullopt;
}
