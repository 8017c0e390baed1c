// The rejoined file on Win32; kernel32 only.
#include <windows.h>

#include "stub/output_file.h"

OutputFile::OutputFile(const char* name)
    : name_(name), handle_(::CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!handle_.IsValid())
        error_ = ::GetLastError();
}

OutputFile::~OutputFile() {
    if (handle_.IsValid()) {
        handle_.Reset();
        if (!finished_)
            ::DeleteFileA(name_);
    }
}

bool OutputFile::IsOpen() const {
    return handle_.IsValid();
}

bool OutputFile::Write(const void* data, uint32_t len) {
    if (len == 0)
        return true;
    DWORD written = 0;
    if (!::WriteFile(handle_.Get(), data, len, &written, nullptr)) {
        error_ = ::GetLastError();
        return false;
    }
    if (written != len) {
        error_ = ERROR_DISK_FULL;
        return false;
    }
    return true;
}

bool OutputFile::Finish(const char* finalName) {
    const bool closed = ::CloseHandle(handle_.Release()) != 0;
    // MoveFileA without flags never replaces an existing file.
    if (!closed || !::MoveFileA(name_, finalName)) {
        error_ = ::GetLastError();
        ::DeleteFileA(name_);
        return false;
    }
    finished_ = true;
    return true;
}
