// A read-only view of a file mapping; the view keeps the mapping alive once both handles are closed.
#include <windows.h>

#include "platform/mapped_file.h"

#include "platform/file_handle.h"

bool MappedFile::Map(const std::string& path, uint64_t size) {
    Unmap();
    if (size == 0 || size > SIZE_MAX)
        return false;
    const FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length;
    if (!file.IsValid() || !::GetFileSizeEx(file.Get(), &length) || static_cast<uint64_t>(length.QuadPart) < size)
        return false;
    HANDLE handle = ::CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!handle)
        return false; // a mapping that failed is null, not INVALID_HANDLE_VALUE
    const FileHandle mapping(handle);
    void* at = ::MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size));
    return at && Hold(at, size);
}

void MappedFile::Release() {
    ::UnmapViewOfFile(data_);
}
