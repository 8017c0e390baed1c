// A file's bytes mapped into memory, read only: the system's cached pages themselves, not a copy of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the first size bytes of path (size > 0). False where it cannot be: the file is shorter or
    // missing, or the address space has no room; the caller reads it instead.
    bool Map(const std::string& path, uint64_t size);
    const uint8_t* Data() const { return data_; }

private:
    void Unmap();
    bool Hold(const void* at, uint64_t size); // the view now mapped; true
    void Release();                           // the back end's unmapping of the view held
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};
