// catstub's message boxes: no owner window, since catstub has none.
#include <windows.h>

#include "stub/stub_messages.h"

bool AskToRebuild(const char* text) {
    return ::MessageBoxA(nullptr, text, "User Confirm", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

bool AskToCatenate() {
    return AskToRebuild(join_text::kConfirm);
}

void ShowFatal(const char* text) {
    ::MessageBoxA(nullptr, text, "Fatal Error", MB_OK | MB_ICONHAND);
}

void ShowInfo(const char* text) {
    ::MessageBoxA(nullptr, text, "Info", MB_OK | MB_ICONINFORMATION);
}

void AppendSystemText(StubText& text, unsigned long code) {
    char system[512];
    const DWORD len = ::FormatMessageA(FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), system, sizeof system, nullptr);
    if (len > 0) {
        text.Append(system, len);
        return;
    }
    // No text for this code: the number at least lets the user look it up.
    text.Append("System error ").AppendNumber(code).Append(".");
}
