// Thin views of the dialog's controls for the operations the handlers use:
// check boxes, list boxes and the up-down control. A view
// does not own its window and never destroys it.
#pragma once

#include <windows.h>

#include <string>

class CheckBox {
public:
    explicit CheckBox(HWND window) : window_(window) {}
    bool IsChecked() const;
    // Raises no click notification.
    void SetChecked(bool checked);

private:
    HWND window_;
};

class ListBox {
public:
    explicit ListBox(HWND window) : window_(window) {}
    int Count() const;
    void Reset();
    int Add(const std::string& line);
    int Insert(int index, const std::string& line);
    void Delete(int index);
    std::string Text(int index) const;
    int SelectedCount() const;
    bool IsSelected(int index) const;
    void SetSelected(int index, bool selected);
    void SetHorizontalExtent(int pixels);

private:
    HWND window_;
};

class UpDown {
public:
    explicit UpDown(HWND window) : window_(window) {}
    // Sends no WM_VSCROLL.
    void SetPosition(int position);
    int Position() const;
    void SetRange(int lower, int upper);

private:
    HWND window_;
};
