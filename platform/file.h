// Files by path. Paths use '\\' between folders on every back end; the POSIX
// back end maps it to '/', so the portable code speaks one dialect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "platform/file_handle.h"

enum class FileCause {
    None,
    Generic,
    FileNotFound,
    BadPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidFile,
    DirectoryFull,
    BadSeek,
    HardIO,
    SharingViolation,
    LockViolation,
    DiskFull,
    EndOfFile,
    AlreadyExists, // CreateNew found a file (or folder) at the path
};

// The one error every file operation raises.
class FileException : public std::runtime_error {
public:
    FileException(FileCause cause, uint32_t osError, std::string fileName);
    // Raised for a failed operation: the cause follows from the OS error code.
    static FileException FromOsError(uint32_t osError, std::string fileName);

    FileCause Cause() const { return cause_; }
    uint32_t OsError() const { return osError_; }
    const std::string& FileName() const { return fileName_; }
    // Names the cause and the file, e.g. "A sharing violation occurred while accessing C:\a.bin."
    std::string Description() const { return what(); }

private:
    FileCause cause_;
    uint32_t osError_;
    std::string fileName_;
};

class File {
public:
    // The most one write call hands the system: Linux throttles a single large write to a tenth of
    // the speed of the same bytes in 1 MiB calls (ext4, 8 MiB calls), and one Windows call takes at
    // most a DWORD of bytes.
    static constexpr size_t kWriteChunk = 1 << 20;

    enum class Mode {
        // Named after what they do to a file that already exists at the path.
        ReadDenyWrite,         // existing file; others may read, not write
        CreateAlwaysReadWrite, // created, or an existing file emptied; others may read, not write
        CreateAlways,          // created, or an existing file emptied; nobody else may open it
        CreateNew,             // created only when nothing is there, else AlreadyExists; nobody else may open it
        OpenReadWrite,         // existing file, read and written in place; others may read, not write
    };

    // The process's standard input or output as a file of its own (a duplicate of the handle, so closing it
    // leaves the process's stream alone). name is what messages call it. Throws FileException.
    static File StandardInput(const std::string& name);
    static File StandardOutput(const std::string& name);

    File() = default;
    File(const std::string& path, Mode mode); // throws FileException
    // Destroying an open file closes it, ignoring errors: Close() reports them.

    void Open(const std::string& path, Mode mode);
    bool IsOpen() const;
    const std::string& Path() const { return path_; }

    // Up to len bytes; 0 only at the end of the file. A failed read throws.
    size_t Read(void* buffer, size_t len);
    // len bytes, fewer only at the end of the file. A failed read throws.
    size_t ReadUpTo(void* buffer, size_t len);
    // All len bytes or a throw: a short write (disk full) is an error. Goes to the system in calls
    // of at most kWriteChunk bytes.
    void Write(const void* data, size_t len);
    void Seek(uint64_t offsetFromStart);
    uint64_t Length();
    // Cuts the file (or fills it with zeros) to length bytes; the position is left where it was.
    void SetLength(uint64_t length);
    void Close();

private:
    enum class StandardStream { Input, Output };
    static File FromStandard(StandardStream which, const std::string& name);
    // The back end's own duplicate of the process's standard input or output. Throws FileException.
    static FileHandle DuplicateStandard(StandardStream which, const std::string& name);

    std::string path_;
    FileHandle handle_;
};

struct PathStatus {
    bool ok = false;    // the entry exists and could be examined
    uint32_t error = 0; // OS error code when not ok
    bool isFolder = false;
    uint64_t size = 0;
};

PathStatus GetPathStatus(const std::string& path);

// The entry at a path itself: a symbolic link is reported as one, never followed into what it names.
struct EntryStatus {
    bool exists = false;        // something has this name, a dangling link included
    bool isLink = false;        // a symbolic link (a reparse point on Windows)
    bool isFolder = false;      // a real folder, not a link to one
    bool isSpecial = false;     // a device, pipe or socket, or a link to one
    bool targetMissing = false; // a link that leads nowhere
};
EntryStatus GetEntryStatus(const std::string& path);

// True when both paths exist and lead to one file, however they are spelled:
// the same volume and file index on Windows, device and inode on POSIX.
bool IsSameFile(const std::string& a, const std::string& b);

// What the volume holding a folder takes: free bytes for this user and the largest file its file
// system holds (4 GiB - 1 on FAT32, UINT64_MAX where there is no such limit). Empty when unknown.
struct VolumeRoom {
    uint64_t freeBytes = 0;
    uint64_t largestFile = UINT64_MAX;
};
bool GetVolumeRoom(const std::string& folder, VolumeRoom* room);

// Deletes a file; false (with nothing thrown) when it cannot.
bool DeleteFileAt(const std::string& path);

// Gives a file a new name in the same volume. Without replaceExisting an existing
// target is never touched (the rename fails with AlreadyExists). Throws FileException.
void RenameFile(const std::string& from, const std::string& to, bool replaceExisting);

// The process's current directory in the portable dialect, without a trailing separator (except a root).
std::string CurrentDirectory();

// Text after the last '\\' (all of it when there is none).
std::string NamePart(const std::string& path);
// Text before the last '\\' (empty when there is none).
std::string FolderPart(const std::string& path);
