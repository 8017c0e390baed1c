// The rejoined file while it is written: created new under a temporary name,
// and given its real name only when every byte is in. An output that is not
// finished is deleted when this object goes, so no short file is left behind.
#pragma once

#include <cstdint>

#include "platform/file_handle.h"

class OutputFile {
public:
    // Fails when a file of that name exists already: catstub never overwrites.
    // name must outlive this object.
    explicit OutputFile(const char* name);
    // Not finished: closed and deleted.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const;
    // All len bytes or false: a short write (disk full) is a failure.
    bool Write(const void* data, uint32_t len);
    // Closes the file and renames it to finalName, never over an existing file;
    // false when the system reports a failure.
    bool Finish(const char* finalName);
    // The OS error code of the failed create, write, close or rename.
    unsigned long LastError() const { return error_; }

private:
    const char* name_;
    FileHandle handle_;
    unsigned long error_ = 0;
    bool finished_ = false;
};
