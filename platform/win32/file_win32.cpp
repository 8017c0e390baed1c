// The file class on Win32: CreateFileA with real sharing modes.
#include <windows.h>

#include <algorithm>

#include "platform/file.h"
#include "platform/file_cause.h"
#include "platform/owned_handles.h"

FileCause CauseOfOsError(uint32_t osError) {
    switch (osError) {
    case NO_ERROR:
        return FileCause::None;
    case ERROR_FILE_NOT_FOUND:
        return FileCause::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_FILENAME_EXCED_RANGE:
        return FileCause::BadPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return FileCause::TooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return FileCause::AccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return FileCause::AlreadyExists;
    case ERROR_INVALID_HANDLE:
        return FileCause::InvalidFile;
    case ERROR_CANNOT_MAKE:
        return FileCause::DirectoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return FileCause::BadSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
        return FileCause::HardIO;
    case ERROR_SHARING_VIOLATION:
        return FileCause::SharingViolation;
    case ERROR_LOCK_VIOLATION:
        return FileCause::LockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FileCause::DiskFull;
    case ERROR_HANDLE_EOF:
        return FileCause::EndOfFile;
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
    DWORD access = 0, share = 0, disposition = 0;
    switch (mode) {
    case Mode::ReadDenyWrite:
        access = GENERIC_READ;
        share = FILE_SHARE_READ;
        disposition = OPEN_EXISTING;
        break;
    case Mode::CreateAlwaysReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disposition = CREATE_ALWAYS;
        break;
    case Mode::CreateAlways:
        access = GENERIC_WRITE;
        share = 0;
        disposition = CREATE_ALWAYS;
        break;
    case Mode::CreateNew:
        access = GENERIC_WRITE;
        share = 0;
        disposition = CREATE_NEW;
        break;
    case Mode::OpenReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disposition = OPEN_EXISTING;
        break;
    }
    HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw FileException::FromOsError(::GetLastError(), path);
    handle_.Reset(h);
    path_ = path;
}

FileHandle File::DuplicateStandard(StandardStream which, const std::string& name) {
    const HANDLE process = ::GetCurrentProcess();
    HANDLE copy = INVALID_HANDLE_VALUE;
    const HANDLE standard = ::GetStdHandle(which == StandardStream::Input ? STD_INPUT_HANDLE : STD_OUTPUT_HANDLE);
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE ||
        !::DuplicateHandle(process, standard, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        throw FileException::FromOsError(standard == nullptr ? ERROR_INVALID_HANDLE : ::GetLastError(), name);
    return FileHandle(copy);
}

bool File::IsOpen() const {
    return handle_.IsValid();
}

size_t File::Read(void* buffer, size_t len) {
    DWORD got = 0;
    if (!::ReadFile(handle_.Get(), buffer, static_cast<DWORD>(len), &got, nullptr)) {
        // A pipe whose writer has closed it is at its end.
        if (::GetLastError() == ERROR_BROKEN_PIPE)
            return 0;
        throw FileException::FromOsError(::GetLastError(), path_);
    }
    return got;
}

void File::Write(const void* data, size_t len) {
    const char* p = static_cast<const char*>(data);
    while (len > 0) {
        const DWORD ask = static_cast<DWORD>(std::min(len, kWriteChunk));
        DWORD put = 0;
        if (!::WriteFile(handle_.Get(), p, ask, &put, nullptr))
            throw FileException::FromOsError(::GetLastError(), path_);
        if (put != ask)
            throw FileException(FileCause::DiskFull, ERROR_DISK_FULL, path_);
        p += put;
        len -= put;
    }
}

void File::Seek(uint64_t offsetFromStart) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offsetFromStart);
    if (!::SetFilePointerEx(handle_.Get(), to, nullptr, FILE_BEGIN))
        throw FileException(FileCause::BadSeek, ::GetLastError(), path_);
}

uint64_t File::Length() {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_.Get(), &size))
        throw FileException::FromOsError(::GetLastError(), path_);
    return static_cast<uint64_t>(size.QuadPart);
}

void File::SetLength(uint64_t length) {
    LARGE_INTEGER at{}, to{};
    to.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(handle_.Get(), LARGE_INTEGER{}, &at, FILE_CURRENT) ||
        !::SetFilePointerEx(handle_.Get(), to, nullptr, FILE_BEGIN) || !::SetEndOfFile(handle_.Get()) ||
        !::SetFilePointerEx(handle_.Get(), at, nullptr, FILE_BEGIN))
        throw FileException::FromOsError(::GetLastError(), path_);
}

void File::Close() {
    if (!handle_.IsValid())
        return;
    if (!::CloseHandle(handle_.Release()))
        throw FileException::FromOsError(::GetLastError(), path_);
}

PathStatus GetPathStatus(const std::string& path) {
    PathStatus status;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        status.error = ::GetLastError();
        return status;
    }
    status.ok = true;
    status.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    status.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return status;
}

EntryStatus GetEntryStatus(const std::string& path) {
    EntryStatus status;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return status;
    status.exists = true;
    status.isLink = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    status.isFolder = !status.isLink && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (status.isLink) {
        // Opening follows the link: it fails when the link leads nowhere.
        const KernelHandle target(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        status.targetMissing = !target.IsValid();
    }
    return status;
}

namespace {

// The volume serial number and file index of a path; false when it cannot be opened.
// No access is asked for, so a file another program (or the split) holds open is still examined.
bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    const FileHandle handle(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return handle.IsValid() && ::GetFileInformationByHandle(handle.Get(), info) != 0;
}

} // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return IdentityOf(a, &ia) && IdentityOf(b, &ib) && ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

bool GetVolumeRoom(const std::string& folder, VolumeRoom* room) {
    std::string path = folder.empty() ? std::string(".\\") : folder;
    if (path.back() != '\\')
        path += '\\';
    ULARGE_INTEGER available;
    if (!::GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
        return false;
    room->freeBytes = available.QuadPart;
    char root[MAX_PATH + 1];
    char fileSystem[MAX_PATH + 1] = {};
    room->largestFile = UINT64_MAX;
    if (::GetVolumePathNameA(path.c_str(), root, sizeof root) &&
        ::GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, sizeof fileSystem) &&
        (std::string(fileSystem) == "FAT32" || std::string(fileSystem) == "FAT"))
        room->largestFile = 0xFFFFFFFFull;
    return true;
}

bool DeleteFileAt(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

void RenameFile(const std::string& from, const std::string& to, bool replaceExisting) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!::MoveFileExA(from.c_str(), to.c_str(), flags))
        throw FileException::FromOsError(::GetLastError(), to);
}

std::string CurrentDirectory() {
    char buffer[MAX_PATH + 1];
    const DWORD len = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    if (len == 0 || len > sizeof buffer)
        return std::string();
    std::string dir(buffer, len);
    if (dir.size() > 3 && dir.back() == '\\')
        dir.pop_back();
    return dir;
}
