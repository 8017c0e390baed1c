// mmap with MAP_POPULATE where there is one: the pages are mapped in one go rather than fault by fault.
#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_handle.h"
#include "platform/path_text.h"

bool MappedFile::Map(const std::string& path, uint64_t size) {
    Unmap();
    if (size == 0 || size > SIZE_MAX)
        return false;
    const FileHandle fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st;
    if (!fd.IsValid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) < size)
        return false;
#ifdef MAP_POPULATE
    const int flags = MAP_PRIVATE | MAP_POPULATE;
#else
    const int flags = MAP_PRIVATE;
#endif
    void* at = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, flags, fd.Get(), 0);
    return at != MAP_FAILED && Hold(at, size);
}

void MappedFile::Release() {
    ::munmap(const_cast<uint8_t*>(data_), size_);
}
