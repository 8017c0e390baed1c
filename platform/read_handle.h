// A file open for reading without exceptions or allocation: what the CRC pass
// and catstub need. Others may read the file meanwhile but not write it.
#pragma once

#include <cstddef>
#include <cstdint>

class ReadHandle {
public:
    explicit ReadHandle(const char* path);
    ~ReadHandle();
    ReadHandle(const ReadHandle&) = delete;
    ReadHandle& operator=(const ReadHandle&) = delete;

    bool IsOpen() const;
    // false on a failed read; *got == 0 with true at the end of the file.
    bool Read(void* buffer, uint32_t len, uint32_t* got);
    // The OS error code of the failed open or read.
    uint32_t LastError() const { return error_; }

private:
#ifdef _WIN32
    void* handle_;
#else
    int fd_;
#endif
    uint32_t error_ = 0;
};
