// Changing the current directory on POSIX.
#include <cerrno>
#include <unistd.h>

#include "platform/current_dir.h"
#include "platform/path_text.h"

bool SetCurrentDirectoryTo(const std::string& path, uint32_t* error) {
    if (::chdir(NativePath(path).c_str()) == 0)
        return true;
    *error = static_cast<uint32_t>(errno);
    return false;
}
