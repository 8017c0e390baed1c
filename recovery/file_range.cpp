#include "recovery/file_range.h"

#include <cstring>

namespace par2 {

size_t ReadAt(File& file, uint64_t offset, void* buffer, size_t len) {
    file.Seek(offset);
    return file.ReadUpTo(buffer, len);
}

void ReadPadded(File& file, uint64_t offset, uint8_t* buffer, size_t len) {
    const size_t got = ReadAt(file, offset, buffer, len);
    std::memset(buffer + got, 0, len - got);
}

void WriteAt(File& file, uint64_t offset, const void* data, size_t len) {
    file.Seek(offset);
    file.Write(data, len);
}

} // namespace par2
