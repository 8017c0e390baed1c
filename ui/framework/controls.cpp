// The control views: each operation one message to the control.
#include "ui/framework/controls.h"

#include <commctrl.h>

bool CheckBox::IsChecked() const {
    return SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool checked) {
    SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int ListBox::Count() const {
    return static_cast<int>(SendMessageA(window_, LB_GETCOUNT, 0, 0));
}

void ListBox::Reset() {
    SendMessageA(window_, LB_RESETCONTENT, 0, 0);
}

int ListBox::Add(const std::string& line) {
    return static_cast<int>(SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str())));
}

int ListBox::Insert(int index, const std::string& line) {
    return static_cast<int>(
        SendMessageA(window_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.c_str())));
}

void ListBox::Delete(int index) {
    SendMessageA(window_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

std::string ListBox::Text(int index) const {
    const LRESULT length = SendMessageA(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length <= 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(window_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
    return text;
}

int ListBox::SelectedCount() const {
    return static_cast<int>(SendMessageA(window_, LB_GETSELCOUNT, 0, 0));
}

bool ListBox::IsSelected(int index) const {
    return SendMessageA(window_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void ListBox::SetSelected(int index, bool selected) {
    SendMessageA(window_, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(index));
}

void ListBox::SetHorizontalExtent(int pixels) {
    SendMessageA(window_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(pixels), 0);
}

void UpDown::SetPosition(int position) {
    SendMessageA(window_, UDM_SETPOS, 0, MAKELPARAM(position, 0));
}

int UpDown::Position() const {
    return LOWORD(SendMessageA(window_, UDM_GETPOS, 0, 0));
}

// The lower limit goes in the high word, the upper one in the low word.
void UpDown::SetRange(int lower, int upper) {
    SendMessageA(window_, UDM_SETRANGE, 0, MAKELPARAM(upper, lower));
}
