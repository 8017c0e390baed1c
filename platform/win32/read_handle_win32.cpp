// Plain read-only file on Win32; kernel32 only, so catstub can carry it.
#include <windows.h>

#include "platform/read_handle.h"

ReadHandle::ReadHandle(const char* path)
    : handle_(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    if (!handle_.IsValid())
        error_ = ::GetLastError();
}

bool ReadHandle::Read(void* buffer, uint32_t len, uint32_t* got) {
    DWORD n = 0;
    if (!::ReadFile(handle_.Get(), buffer, len, &n, nullptr)) {
        error_ = ::GetLastError();
        *got = 0;
        return false;
    }
    *got = n;
    return true;
}
