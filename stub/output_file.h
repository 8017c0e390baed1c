// The rejoined file: created new, never over an existing one, written in full or not at all.
#pragma once

#include <cstdint>

class OutputFile {
public:
    // Fails when a file of that name exists already: catstub never overwrites.
    explicit OutputFile(const char* name);
    ~OutputFile();
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&&) = delete;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const;
    // All len bytes or false: a short write (disk full) is a failure.
    bool Write(const void* data, uint32_t len);
    // Closes now so that the check can read the file; false when the system reports a failure.
    bool Close();
    // The OS error code of the failed create, write or close.
    unsigned long LastError() const { return error_; }

private:
    void* handle_;
    unsigned long error_ = 0;
};
