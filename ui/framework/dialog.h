// The dialog base: runs a template modally or modeless and hands each message
// to the derived dialog, with Enter and Escape ending it as a dialog should.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/messages.h"
#include "platform/owned_handles.h"

class Dialog {
public:
    Dialog(int templateId, Messenger& messenger);
    // A modeless window still open goes with its object.
    virtual ~Dialog();
    // The window keeps a pointer to this object, so the object stays where it is.
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog until it ends; its result (IDOK, IDCANCEL), or -1 when it
    // could not be created.
    INT_PTR DoModal(HWND parent = nullptr);
    // Creates the dialog modeless and returns at once; for tests that drive it
    // with messages. False when it could not be created.
    bool Create(HWND parent = nullptr);

    // The window, or null before it exists and after it is gone.
    HWND Handle() const { return window_; }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // IDOK or IDCANCEL once the dialog has ended; 0 before.
    INT_PTR Result() const { return result_; }

    std::string ItemText(int id) const;
    void SetItemText(int id, const std::string& text);

protected:
    // The window and its controls exist; TRUE lets the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Every message after WM_INITDIALOG: a result, or empty for the default
    // processing (which ends the dialog on IDOK and IDCANCEL).
    virtual std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void End(INT_PTR result);

    Messenger& messenger_;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ReportFailure(const std::string& text) noexcept;

    int templateId_;
    HWND window_ = nullptr;
    WindowHandle modeless_; // the window, while a modeless one is ours to destroy
    bool modal_ = false;
    INT_PTR result_ = 0;
};
