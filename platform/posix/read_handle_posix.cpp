// Plain read-only file on POSIX.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/posix/posix_path.h"
#include "platform/read_handle.h"

ReadHandle::ReadHandle(const char* path) : fd_(-1) {
    const std::string native = NativePath(path);
    fd_ = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return;
    }
    struct stat st;
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        error_ = EISDIR;
    }
}

ReadHandle::~ReadHandle() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReadHandle::IsOpen() const { return fd_ >= 0; }

bool ReadHandle::Read(void* buffer, uint32_t len, uint32_t* got) {
    *got = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, len);
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
