// A file open for reading without exceptions or allocation: what the CRC pass
// and catstub need. Others may read the file meanwhile but not write it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file_handle.h"

class ReadHandle {
public:
    explicit ReadHandle(const char* path);

    bool IsOpen() const { return handle_.IsValid(); }
    // false on a failed read; *got == 0 with true at the end of the file.
    bool Read(void* buffer, uint32_t len, uint32_t* got);
    // The OS error code of the failed open or read.
    uint32_t LastError() const { return error_; }

private:
    FileHandle handle_;
    uint32_t error_ = 0;
};
