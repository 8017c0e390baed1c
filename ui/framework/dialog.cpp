// The dialog base: creation, the static window procedure, ending.
#include "ui/framework/dialog.h"

#include <exception>
#include <new>

#include "platform/file.h"

Dialog::Dialog(int templateId, Messenger& messenger) : messenger_(messenger), templateId_(templateId) {}

Dialog::~Dialog() {
    modeless_.Reset(); // while the object can still take the window's last messages
}

INT_PTR Dialog::DoModal(HWND parent) {
    modal_ = true;
    result_ = 0;
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool Dialog::Create(HWND parent) {
    modal_ = false;
    result_ = 0;
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

std::string Dialog::ItemText(int id) const {
    const HWND item = Item(id);
    const int length = GetWindowTextLengthA(item);
    if (length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(item, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// An edit raises its change notification before this returns: handlers rely on that.
void Dialog::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(window_, id, text.c_str());
}

std::optional<INT_PTR> Dialog::OnMessage(UINT, WPARAM, LPARAM) {
    return std::nullopt;
}

void Dialog::End(INT_PTR result) {
    result_ = result;
    if (modal_)
        EndDialog(window_, result);
    else
        modeless_.Reset();
}

INT_PTR CALLBACK Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
        if (!self->modal_)
            self->modeless_.Reset(window);
    }
    // Messages before WM_INITDIALOG (WM_SETFONT and the like) have no object yet.
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self)
        return FALSE;
    // Nothing may unwind into the system's code: report here and carry on.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const FileException& e) {
        self->ReportFailure("Error on Subroutine: DialogProc\n" + e.Description());
    } catch (const std::bad_alloc&) {
        self->ReportFailure("Not enough memory for this operation");
    } catch (const std::exception& e) {
        self->ReportFailure(std::string("Unexpected error: ") + e.what());
    } catch (...) {
        self->ReportFailure("Unexpected error");
    }
    return TRUE;
}

INT_PTR Dialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window_, DWLP_USER, 0);
        window_ = nullptr;
        modeless_.Release(); // destroyed already
        return FALSE;
    }
    if (const auto result = OnMessage(message, wParam, lParam))
        return *result;
    // What a dialog does by default: Enter (IDOK) and Escape, the close box or a
    // Cancel button (IDCANCEL) end it.
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        End(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void Dialog::ReportFailure(const std::string& text) noexcept {
    try {
        messenger_.Show(text, Icon::Hand);
    } catch (...) {
        // The messenger itself failed: nothing is left to tell the user with.
    }
}
