// The owner of an open file: a Win32 HANDLE or a POSIX descriptor. The handle
// type is spelled without <windows.h>, so portable headers can hold one.
#pragma once

#include "platform/unique_handle.h"

struct FileHandleTraits {
#ifdef _WIN32
    using Handle = void*;
    // INVALID_HANDLE_VALUE
    static Handle Invalid() {
        return reinterpret_cast<Handle>(-1);
    }
#else
    using Handle = int;
    static Handle Invalid() {
        return -1;
    }
#endif
    static void Close(Handle handle);
};

using FileHandle = UniqueHandle<FileHandleTraits>;
