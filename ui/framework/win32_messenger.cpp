// Message boxes for the user.
#include "ui/framework/win32_messenger.h"

#include "ui/framework/dialog.h"
#include "ui/outcome_text.h"

std::string ProgramTitle() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

UINT MessageBoxFlags(Icon icon, Buttons buttons) {
    UINT flags = MB_OK;
    if (buttons == Buttons::OkCancel)
        flags = MB_OKCANCEL;
    else if (buttons == Buttons::YesNo)
        flags = MB_YESNO | MB_DEFBUTTON2;
    else if (buttons == Buttons::YesNoDefaultYes)
        flags = MB_YESNO;
    switch (icon) {
    case Icon::None:
        break;
    case Icon::Exclamation:
        flags |= MB_ICONEXCLAMATION;
        break;
    case Icon::Hand:
        flags |= MB_ICONHAND;
        break;
    case Icon::Information:
        flags |= MB_ICONINFORMATION;
        break;
    case Icon::Question:
        flags |= MB_ICONQUESTION;
        break;
    }
    return flags;
}

Answer Win32Messenger::Show(const std::string& text, Icon icon, Buttons buttons) {
    const HWND owner = owner_ ? owner_->Handle() : nullptr;
    const std::string caption = ProgramTitle();
    const int pressed = MessageBoxA(owner, text.c_str(), caption.c_str(), MessageBoxFlags(icon, buttons));
    switch (pressed) {
    case IDOK:
        return Answer::Ok;
    case IDYES:
        return Answer::Yes;
    case IDNO:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void Win32Messenger::Tell(const Outcome& outcome) {
    ShowOutcome(*this, outcome);
}

Answer Win32Messenger::Ask(const Outcome& question) {
    return AskOutcome(*this, question);
}
