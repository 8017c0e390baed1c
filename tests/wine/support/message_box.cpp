// Reading and pressing message boxes of another process, every wait bounded.
#include "tests/wine/support/message_box.h"

namespace {

// A program that hangs must not hang the test with it.
constexpr UINT kSendTimeoutMs = 3000;

struct FindContext {
    DWORD processId;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != context->processId || !::IsWindowVisible(window))
        return TRUE;
    char className[16] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32770")
        context->found->push_back(window);
    return TRUE;
}

BOOL CALLBACK FindIconControl(HWND child, LPARAM param) {
    char className[16] = {};
    ::GetClassNameA(child, className, sizeof className);
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, className, -1, "Static", -1) == CSTR_EQUAL &&
        (style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE)) {
        *reinterpret_cast<HWND*>(param) = child;
        return FALSE;
    }
    return TRUE;
}

// On Windows the system icons are shared handles, so the box's icon compares
// with our own LoadIcon. Wine keeps icon handles per process and refuses
// another process's handle (GetIconInfo fails too): there the icon is Unknown.
BoxIcon IconOf(HWND box) {
    HWND control = nullptr;
    ::EnumChildWindows(box, FindIconControl, reinterpret_cast<LPARAM>(&control));
    if (control == nullptr)
        return BoxIcon::None;
    DWORD_PTR icon = 0;
    if (!::SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &icon))
        return BoxIcon::Unknown;
    if (icon == 0)
        return BoxIcon::None;
    const struct {
        LPCSTR id;
        BoxIcon icon;
    } kSystemIcons[] = {{IDI_HAND, BoxIcon::Hand},
                        {IDI_QUESTION, BoxIcon::Question},
                        {IDI_EXCLAMATION, BoxIcon::Exclamation},
                        {IDI_ASTERISK, BoxIcon::Asterisk}};
    for (const auto& system : kSystemIcons)
        if (reinterpret_cast<DWORD_PTR>(::LoadIconA(nullptr, system.id)) == icon)
            return system.icon;
    return BoxIcon::Unknown;
}

} // namespace

bool ShowsIcon(BoxIcon seen, BoxIcon expected) {
    return seen == expected || (seen == BoxIcon::Unknown && expected != BoxIcon::None);
}

const char* BoxIconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::None:
        return "None";
    case BoxIcon::Hand:
        return "Hand";
    case BoxIcon::Question:
        return "Question";
    case BoxIcon::Exclamation:
        return "Exclamation";
    case BoxIcon::Asterisk:
        return "Asterisk";
    case BoxIcon::Unknown:
        return "Unknown";
    }
    return "?";
}

std::vector<HWND> FindDialogs(DWORD processId) {
    std::vector<HWND> found;
    FindContext context{processId, &found};
    ::EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&context));
    return found;
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (window == nullptr ||
        !::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &copied))
        return std::string();
    text.resize(copied);
    return text;
}

BoxContent ReadMessageBox(HWND box) {
    BoxContent content;
    content.caption = WindowText(box);
    content.text = WindowText(::GetDlgItem(box, 0xFFFF));
    content.icon = IconOf(box);
    return content;
}

bool PressButton(HWND box, int id) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(::GetDlgItem(box, id)), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                                 &result) != 0;
}

bool WaitUntilGone(HWND box, DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (!::IsWindow(box) || !::IsWindowVisible(box))
            return true;
        if (::GetTickCount() - start >= ms)
            return false;
        ::Sleep(10);
    }
}
