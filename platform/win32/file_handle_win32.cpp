// Closing a file handle on Win32; kernel32 only, so catstub can carry it.
#include <windows.h>

#include "platform/file_handle.h"

void FileHandleTraits::Close(Handle handle) {
    ::CloseHandle(handle);
}
