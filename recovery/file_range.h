// Reading and writing at an offset of an open file, for the slices of recovery files and pieces.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace par2 {

// Up to len bytes from offset; fewer only at the end of the file. Throws FileException.
size_t ReadAt(File& file, uint64_t offset, void* buffer, size_t len);
// Exactly len bytes at offset, zeros beyond the end of the file. Throws FileException.
void ReadPadded(File& file, uint64_t offset, uint8_t* buffer, size_t len);
void WriteAt(File& file, uint64_t offset, const void* data, size_t len);

} // namespace par2
