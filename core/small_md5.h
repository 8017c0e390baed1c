// MD5 without allocation or platform calls, small rather than fast: catstub checks the recovery
// index's packets with it, where the platform's hash (CNG) is not at hand.
#pragma once

#include <cstddef>
#include <cstdint>

class SmallMd5 {
public:
    void Update(const uint8_t* data, size_t len);
    // The digest of everything fed; the object is spent afterwards.
    void Final(uint8_t digest[16]);

private:
    void Block(const uint8_t* block);

    uint32_t state_[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
    uint64_t total_ = 0; // bytes fed
    uint8_t pending_[64] = {};
};
