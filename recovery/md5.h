// MD5, as recovery files record it for whole files, their first 16 KiB, slices and packets. Each
// platform's maintained implementation does the work: nettle on POSIX, CNG on Windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Md5Digest = std::array<uint8_t, 16>;

class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const void* data, size_t len);
    // The digest of everything fed; the object starts again empty.
    Md5Digest Final();

private:
    alignas(8) unsigned char state_[160]; // the back end's context, kept inline: no allocation per hash
};

Md5Digest Md5Of(const void* data, size_t len);
