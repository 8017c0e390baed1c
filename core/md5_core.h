// MD5 as the public algorithm defines it: its constants, and the buffering, padding and length that turn
// blocks into a digest. The block function is the caller's choice: catstub takes the small loop
// (core/small_md5.h), the recovery engine the unrolled steps that its vector lanes share (recovery/md5.h).
// No allocation and no platform call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using Md5Digest = std::array<uint8_t, 16>;

namespace md5 {
constexpr uint32_t kInit[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};
// floor(abs(sin(i + 1)) * 2^32)
constexpr uint32_t kSine[64] = {
    0xd76aa478u, 0xe8c7b756u, 0x242070dbu, 0xc1bdceeeu, 0xf57c0fafu, 0x4787c62au, 0xa8304613u, 0xfd469501u,
    0x698098d8u, 0x8b44f7afu, 0xffff5bb1u, 0x895cd7beu, 0x6b901122u, 0xfd987193u, 0xa679438eu, 0x49b40821u,
    0xf61e2562u, 0xc040b340u, 0x265e5a51u, 0xe9b6c7aau, 0xd62f105du, 0x02441453u, 0xd8a1e681u, 0xe7d3fbc8u,
    0x21e1cde6u, 0xc33707d6u, 0xf4d50d87u, 0x455a14edu, 0xa9e3e905u, 0xfcefa3f8u, 0x676f02d9u, 0x8d2a4c8au,
    0xfffa3942u, 0x8771f681u, 0x6d9d6122u, 0xfde5380cu, 0xa4beea44u, 0x4bdecfa9u, 0xf6bb4b60u, 0xbebfbc70u,
    0x289b7ec6u, 0xeaa127fau, 0xd4ef3085u, 0x04881d05u, 0xd9d4d039u, 0xe6db99e5u, 0x1fa27cf8u, 0xc4ac5665u,
    0xf4292244u, 0x432aff97u, 0xab9423a7u, 0xfc93a039u, 0x655b59c3u, 0x8f0ccc92u, 0xffeff47du, 0x85845dd1u,
    0x6fa87e4fu, 0xfe2ce6e0u, 0xa3014314u, 0x4e0811a1u, 0xf7537e82u, 0xbd3af235u, 0x2ad7d2bbu, 0xeb86d391u,
};
// The rotations of each round's four steps.
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
// The message word step i of round r (0..3) takes.
constexpr int WordOf(int r, int i) {
    return r == 0 ? i % 16 : r == 1 ? (5 * i + 1) % 16 : r == 2 ? (3 * i + 5) % 16 : (7 * i) % 16;
}

// What Final appends before the length: one bit, then zeros.
constexpr uint8_t kPadding[64] = {0x80};

// Bytes copied by a loop: catstub has no C runtime to call for memcpy.
inline void CopyBytes(uint8_t* to, const uint8_t* from, size_t len) {
    for (size_t i = 0; i < len; ++i)
        to[i] = from[i];
}

// The state's four words as the digest's bytes, low byte first.
inline Md5Digest DigestOf(const uint32_t* state) {
    Md5Digest out;
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 4; ++i)
            out[4 * k + i] = static_cast<uint8_t>(state[k] >> (8 * i));
    return out;
}
} // namespace md5

struct Md5HasherAccess;

// An MD5 of bytes that come in parts. Final gives the digest of everything fed, and the hasher starts
// again empty.
template <void (*Block)(uint32_t* state, const uint8_t* block)> class Md5Hasher {
public:
    // Kept out of line: inlined into the lanes' loop, it costs their registers (measured: the 4-lane
    // path 1.5 against 1.25 GB/s).
    __attribute__((noinline)) void Update(const void* bytes, size_t len) {
        const auto* data = static_cast<const uint8_t*>(bytes);
        const size_t have = static_cast<size_t>(length_ % 64);
        length_ += len;
        if (have > 0) {
            const size_t take = len < 64 - have ? len : 64 - have;
            md5::CopyBytes(buffer_ + have, data, take);
            if (have + take < 64)
                return;
            Block(state_, buffer_);
            data += take;
            len -= take;
        }
        for (; len >= 64; data += 64, len -= 64)
            Block(state_, data);
        md5::CopyBytes(buffer_, data, len);
    }

    Md5Digest Final() {
        const uint64_t bits = length_ * 8;
        const size_t have = static_cast<size_t>(length_ % 64);
        Update(md5::kPadding, have < 56 ? 56 - have : 120 - have);
        uint8_t tail[8];
        for (int i = 0; i < 8; ++i)
            tail[i] = static_cast<uint8_t>(bits >> (8 * i));
        Update(tail, 8);
        const Md5Digest out = md5::DigestOf(state_);
        for (int k = 0; k < 4; ++k)
            state_[k] = md5::kInit[k];
        length_ = 0;
        return out;
    }
    // The same, into a 16-byte buffer of the caller's.
    void Final(uint8_t* digest) {
        const Md5Digest out = Final();
        md5::CopyBytes(digest, out.data(), out.size());
    }

private:
    friend struct Md5HasherAccess;
    uint32_t state_[4] = {md5::kInit[0], md5::kInit[1], md5::kInit[2], md5::kInit[3]};
    uint64_t length_ = 0; // bytes fed
    uint8_t buffer_[64] = {};
};
