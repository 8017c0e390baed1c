#include "recovery/md5.h"

#include <algorithm>

#include "recovery/md5_steps.h"

void Md5Block(uint32_t* state, const uint8_t* block) {
    md5::Compress<uint32_t, 1>(state, &block);
}

Md5Digest Md5Of(const void* data, size_t len) {
    Md5 md5;
    md5.Update(data, len);
    return md5.Final();
}

void Md5Zeros(Md5& md5, uint64_t count) {
    static const uint8_t kZeros[4096] = {};
    for (uint64_t left = count; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, sizeof kZeros));
        md5.Update(kZeros, n);
        left -= n;
    }
}
