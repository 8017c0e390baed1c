// What both back ends of MappedFile share: ownership of the one view.
#include "platform/mapped_file.h"

#include <utility>

MappedFile::~MappedFile() {
    Unmap();
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        Unmap();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

bool MappedFile::Hold(const void* at, uint64_t size) {
    data_ = static_cast<const uint8_t*>(at);
    size_ = static_cast<size_t>(size);
    return true;
}

void MappedFile::Unmap() {
    if (data_)
        Release();
    data_ = nullptr;
    size_ = 0;
}
