#include "core/small_md5.h"

void SmallMd5Block(uint32_t* state, const uint8_t* block) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = block[4 * i] | block[4 * i + 1] << 8 | block[4 * i + 2] << 16 |
               static_cast<uint32_t>(block[4 * i + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int r = i >> 4;
        const uint32_t f = r == 0   ? (b & c) | (~b & d)
                           : r == 1 ? (d & b) | (~d & c)
                           : r == 2 ? b ^ c ^ d
                                    : c ^ (b | ~d);
        const uint32_t sum = a + f + md5::kSine[i] + m[md5::WordOf(r, i)];
        const int s = md5::kShift[r][i & 3];
        a = d;
        d = c;
        c = b;
        b += sum << s | sum >> (32 - s);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}
