// What both back ends share: the file exception's texts and the path parts.
#include "platform/file.h"
#include "platform/file_cause.h"

namespace {

std::string DescribeCause(FileCause cause, const std::string& file) {
    switch (cause) {
    case FileCause::None:
        return "No error occurred on " + file + ".";
    case FileCause::FileNotFound:
        return file + " was not found.";
    case FileCause::BadPath:
        return file + " contains an invalid path.";
    case FileCause::TooManyOpenFiles:
        return file + " could not be opened because there are too many open files.";
    case FileCause::AccessDenied:
        return "Access to " + file + " was denied.";
    case FileCause::InvalidFile:
        return "An invalid file handle was associated with " + file + ".";
    case FileCause::DirectoryFull:
        return file + " could not be created because the directory is full.";
    case FileCause::BadSeek:
        return "Seek failed on " + file + ".";
    case FileCause::HardIO:
        return "A hardware I/O error was reported while accessing " + file + ".";
    case FileCause::SharingViolation:
        return "A sharing violation occurred while accessing " + file + ".";
    case FileCause::LockViolation:
        return "A locking violation occurred while accessing " + file + ".";
    case FileCause::DiskFull:
        return "Disk full while accessing " + file + ".";
    case FileCause::EndOfFile:
        return "An attempt was made to access " + file + " past its end.";
    case FileCause::AlreadyExists:
        return file + " already exists.";
    case FileCause::Generic:
        break;
    }
    return "An unexpected error occurred while accessing " + file + ".";
}

} // namespace

FileException::FileException(FileCause cause, uint32_t osError, std::string fileName)
    : std::runtime_error(DescribeCause(cause, fileName.empty() ? std::string("an unnamed file") : fileName)),
      cause_(cause), osError_(osError), fileName_(std::move(fileName)) {}

FileException FileException::FromOsError(uint32_t osError, std::string fileName) {
    return FileException(CauseOfOsError(osError), osError, std::move(fileName));
}

std::string NamePart(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

File File::FromStandard(StandardStream which, const std::string& name) {
    File file;
    file.handle_ = DuplicateStandard(which, name);
    file.path_ = name;
    return file;
}

File File::StandardInput(const std::string& name) {
    return FromStandard(StandardStream::Input, name);
}

File File::StandardOutput(const std::string& name) {
    return FromStandard(StandardStream::Output, name);
}

size_t File::ReadUpTo(void* buffer, size_t len) {
    uint8_t* into = static_cast<uint8_t*>(buffer);
    size_t got = 0;
    while (got < len) {
        const size_t n = Read(into + got, len - got);
        if (n == 0)
            break;
        got += n;
    }
    return got;
}
