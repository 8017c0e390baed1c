// The file class on POSIX, for the native tests and the fendrik command. Sharing
// modes are not enforced here: POSIX has no mandatory sharing.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/file.h"
#include "platform/file_cause.h"
#include "platform/path_text.h"
#include "platform/read_interrupt.h"

FileCause CauseOfOsError(uint32_t osError) {
    switch (osError) {
    case 0:
        return FileCause::None;
    case ENOENT:
        return FileCause::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return FileCause::BadPath;
    case EMFILE:
    case ENFILE:
        return FileCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return FileCause::AccessDenied;
    case EEXIST:
        return FileCause::AlreadyExists;
    case EBADF:
        return FileCause::InvalidFile;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return FileCause::DiskFull;
    case EIO:
        return FileCause::HardIO;
    case ESPIPE:
        return FileCause::BadSeek;
    default:
        return FileCause::Generic;
    }
}

File::File(const std::string& path, Mode mode) {
    Open(path, mode);
}

void File::Open(const std::string& path, Mode mode) {
    if (handle_.IsValid())
        Close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::ReadDenyWrite:
        flags |= O_RDONLY;
        break;
    case Mode::CreateAlwaysReadWrite:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case Mode::CreateAlways:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case Mode::CreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    case Mode::OpenReadWrite:
        flags |= O_RDWR;
        break;
    }
    const std::string native = NativePath(path);
    FileHandle fd(::open(native.c_str(), flags, 0666));
    if (!fd.IsValid())
        throw FileException::FromOsError(errno, path);
    struct stat st;
    if (::fstat(fd.Get(), &st) == 0 && S_ISDIR(st.st_mode))
        throw FileException::FromOsError(EACCES, path);
    handle_ = std::move(fd);
    path_ = path;
}

FileHandle File::DuplicateStandard(StandardStream which, const std::string& name) {
    FileHandle copy(::fcntl(which == StandardStream::Input ? STDIN_FILENO : STDOUT_FILENO, F_DUPFD_CLOEXEC, 0));
    if (!copy.IsValid())
        throw FileException::FromOsError(errno, name);
    return copy;
}

bool File::IsOpen() const {
    return handle_.IsValid();
}

size_t File::Read(void* buffer, size_t len) {
    if (!handle_.IsValid())
        throw FileException(FileCause::InvalidFile, EBADF, path_);
    for (;;) {
        if (ReadsInterrupted())
            throw FileException::FromOsError(EINTR, path_);
        const ssize_t got = ::read(handle_.Get(), buffer, len);
        if (got >= 0)
            return static_cast<size_t>(got);
        if (errno != EINTR)
            throw FileException::FromOsError(errno, path_);
    }
}

void File::Write(const void* data, size_t len) {
    if (!handle_.IsValid())
        throw FileException(FileCause::InvalidFile, EBADF, path_);
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        const ssize_t put = ::write(handle_.Get(), p, std::min(len, kWriteChunk));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            throw FileException::FromOsError(errno, path_);
        }
        if (put == 0)
            throw FileException(FileCause::DiskFull, ENOSPC, path_);
        p += put;
        len -= static_cast<size_t>(put);
    }
}

void File::Seek(uint64_t offsetFromStart) {
    if (!handle_.IsValid())
        throw FileException(FileCause::InvalidFile, EBADF, path_);
    if (offsetFromStart > static_cast<uint64_t>(LLONG_MAX) ||
        ::lseek(handle_.Get(), static_cast<off_t>(offsetFromStart), SEEK_SET) < 0)
        throw FileException(FileCause::BadSeek, errno ? errno : EINVAL, path_);
}

uint64_t File::Length() {
    if (!handle_.IsValid())
        throw FileException(FileCause::InvalidFile, EBADF, path_);
    struct stat st;
    if (::fstat(handle_.Get(), &st) != 0)
        throw FileException::FromOsError(errno, path_);
    return static_cast<uint64_t>(st.st_size);
}

void File::SetLength(uint64_t length) {
    if (!handle_.IsValid())
        throw FileException(FileCause::InvalidFile, EBADF, path_);
    if (length > static_cast<uint64_t>(LLONG_MAX) || ::ftruncate(handle_.Get(), static_cast<off_t>(length)) != 0)
        throw FileException::FromOsError(errno ? errno : EINVAL, path_);
}

void File::Close() {
    if (!handle_.IsValid())
        return;
    if (::close(handle_.Release()) != 0)
        throw FileException::FromOsError(errno, path_);
}

PathStatus GetPathStatus(const std::string& path) {
    PathStatus status;
    struct stat st;
    const std::string native = NativePath(path);
    if (native.empty() || ::stat(native.c_str(), &st) != 0) {
        status.error = native.empty() ? ENOENT : errno;
        return status;
    }
    status.ok = true;
    status.isFolder = S_ISDIR(st.st_mode);
    status.size = status.isFolder ? 0 : static_cast<uint64_t>(st.st_size);
    return status;
}

EntryStatus GetEntryStatus(const std::string& path) {
    EntryStatus status;
    struct stat st;
    const std::string native = NativePath(path);
    if (native.empty() || ::lstat(native.c_str(), &st) != 0)
        return status;
    status.exists = true;
    status.isLink = S_ISLNK(st.st_mode);
    status.isFolder = S_ISDIR(st.st_mode);
    if (status.isLink) {
        struct stat target;
        status.targetMissing = ::stat(native.c_str(), &target) != 0;
        status.isSpecial = !status.targetMissing && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode);
    } else {
        status.isSpecial = !S_ISREG(st.st_mode) && !status.isFolder;
    }
    return status;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return ::stat(NativePath(a).c_str(), &sa) == 0 && ::stat(NativePath(b).c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool GetVolumeRoom(const std::string& folder, VolumeRoom* room) {
    const std::string native = folder.empty() ? std::string(".") : NativePath(folder);
    struct statvfs vfs;
    if (::statvfs(native.c_str(), &vfs) != 0)
        return false;
    room->freeBytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    struct statfs fs;
    constexpr long kMsdosMagic = 0x4d44; // vfat and msdos: FAT's 32-bit file size
    room->largestFile = ::statfs(native.c_str(), &fs) == 0 && fs.f_type == kMsdosMagic ? 0xFFFFFFFFull : UINT64_MAX;
    return true;
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

void RenameFile(const std::string& from, const std::string& to, bool replaceExisting) {
    const std::string source = NativePath(from), target = NativePath(to);
    if (replaceExisting) {
        if (::rename(source.c_str(), target.c_str()) != 0)
            throw FileException::FromOsError(errno, to);
        return;
    }
    // rename() would replace the target silently; RENAME_NOREPLACE refuses it in
    // the same step. File systems without it get link + unlink, which refuses too.
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS)
        throw FileException::FromOsError(errno, to);
    if (::link(source.c_str(), target.c_str()) != 0)
        throw FileException::FromOsError(errno, to);
    ::unlink(source.c_str());
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return PortablePath(buffer.data());
}
