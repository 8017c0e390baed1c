// A message text built in a fixed buffer: catstub links no string class.
#pragma once

#include <cstddef>

class StubText {
public:
    StubText() { buffer_[0] = 0; }
    StubText(const StubText&) = delete;
    StubText& operator=(const StubText&) = delete;

    StubText& Append(const char* text) {
        while (*text)
            Put(*text++);
        return *this;
    }
    StubText& Append(const char* bytes, size_t len) {
        for (size_t i = 0; i < len; ++i)
            Put(bytes[i]);
        return *this;
    }
    // For names that came from a file: control bytes would break the box's lines.
    StubText& AppendShown(const char* bytes, size_t len) {
        for (size_t i = 0; i < len; ++i)
            Put(static_cast<unsigned char>(bytes[i]) < 0x20 ? '?' : bytes[i]);
        return *this;
    }
    StubText& AppendNumber(unsigned long n) {
        char digits[20];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        while (count > 0)
            Put(digits[--count]);
        return *this;
    }
    const char* CStr() const { return buffer_; }

private:
    // Long enough for two file names and a system text; anything beyond is cut.
    static constexpr size_t kCapacity = 2048;
    void Put(char c) {
        if (len_ + 1 < kCapacity) {
            buffer_[len_++] = c;
            buffer_[len_] = 0;
        }
    }
    char buffer_[kCapacity];
    size_t len_ = 0;
};
