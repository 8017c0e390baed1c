// The owner of a directory search on Win32: FindClose, not CloseHandle, ends it.
#pragma once

#include <windows.h>

#include "platform/unique_handle.h"

struct SearchHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::FindClose(handle); }
};

using SearchHandle = UniqueHandle<SearchHandleTraits>;
