// Changing the current directory on Windows.
#include <windows.h>

#include "platform/current_dir.h"

bool SetCurrentDirectoryTo(const std::string& path, uint32_t* error) {
    if (::SetCurrentDirectoryA(path.c_str()))
        return true;
    *error = ::GetLastError();
    return false;
}

std::string TypedPath(const std::string& typed) {
    return typed;
}
