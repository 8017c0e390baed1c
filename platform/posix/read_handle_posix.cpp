// Plain read-only file on POSIX.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/path_text.h"
#include "platform/read_handle.h"

ReadHandle::ReadHandle(const char* path) : handle_(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC)) {
    if (!handle_.IsValid()) {
        error_ = errno;
        return;
    }
    struct stat st;
    if (::fstat(handle_.Get(), &st) == 0 && S_ISDIR(st.st_mode)) {
        handle_.Reset();
        error_ = EISDIR;
    }
}

bool ReadHandle::Read(void* buffer, uint32_t len, uint32_t* got) {
    *got = 0;
    for (;;) {
        const ssize_t n = ::read(handle_.Get(), buffer, len);
        if (n >= 0) {
            *got = static_cast<uint32_t>(n);
            return true;
        }
        if (errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
}
