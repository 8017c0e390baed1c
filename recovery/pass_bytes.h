// A large buffer of a recovery pass, not cleared when taken: its pages are first touched, and paid for,
// by the thread that fills it, not by the one that starts the split.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

class PassBytes {
public:
    // n bytes of any value; false when this process cannot have them (what it held is given back).
    bool Allocate(size_t n) {
        bytes_.reset();
        bytes_.reset(new (std::nothrow) uint8_t[n ? n : 1]);
        size_ = bytes_ ? n : 0;
        return bytes_ != nullptr;
    }
    uint8_t* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_ = 0;
};
