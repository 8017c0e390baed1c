// The system's text for a Win32 error code, from FormatMessageA.
#include <windows.h>

#include <cstdio>

#include "platform/error_text.h"
#include "platform/owned_handles.h"

std::string SystemErrorText(uint32_t code) {
    char* buffer = nullptr;
    const DWORD len = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (len == 0 || buffer == nullptr) {
        char fallback[48];
        std::snprintf(fallback, sizeof fallback, "System error %lu.\r\n", static_cast<unsigned long>(code));
        return fallback;
    }
    const LocalMemory<char*> owned(buffer);
    return std::string(buffer, len);
}
