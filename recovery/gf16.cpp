#include "recovery/gf16.h"

#include <array>
#include <iterator>

#include "recovery/gf16_paths.h"

namespace gf16 {
namespace {

constexpr uint32_t kPolynomial = 0x1100B;
constexpr uint32_t kOrder = 65535; // elements of the multiplicative group

struct Tables {
    std::array<uint16_t, 2 * kOrder> exp; // doubled so that exp[log a + log b] needs no reduction
    std::array<uint16_t, 65536> log;
    Tables() {
        uint32_t x = 1;
        for (uint32_t i = 0; i < kOrder; ++i) {
            exp[i] = exp[i + kOrder] = static_cast<uint16_t>(x);
            log[x] = static_cast<uint16_t>(i);
            x <<= 1;
            if (x & 0x10000)
                x ^= kPolynomial;
        }
        log[0] = 0; // never used: 0 has no logarithm
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

} // namespace

uint16_t Mul(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0)
        return 0;
    const Tables& t = T();
    return t.exp[t.log[a] + t.log[b]];
}

uint16_t Div(uint16_t a, uint16_t b) {
    if (a == 0)
        return 0;
    const Tables& t = T();
    return t.exp[t.log[a] + kOrder - t.log[b]];
}

uint16_t Inv(uint16_t a) {
    return Div(1, a);
}

uint16_t Exp2(uint64_t e) {
    return T().exp[e % kOrder];
}

uint16_t Log2(uint16_t a) {
    return T().log[a];
}

uint16_t Pow(uint16_t base, uint64_t e) {
    if (e == 0)
        return 1;
    if (base == 0)
        return 0;
    return Exp2(static_cast<uint64_t>(Log2(base)) * (e % kOrder));
}

void MulAddPortable(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    if (factor == 0)
        return;
    // Two tables of 256 products, for the low and the high byte of each word.
    uint16_t lo[256], hi[256];
    for (int i = 0; i < 256; ++i) {
        lo[i] = Mul(factor, static_cast<uint16_t>(i));
        hi[i] = Mul(factor, static_cast<uint16_t>(i << 8));
    }
    for (size_t i = 0; i + 1 < len; i += 2) {
        const uint16_t p = lo[src[i]] ^ hi[src[i + 1]];
        dst[i] ^= static_cast<uint8_t>(p);
        dst[i + 1] ^= static_cast<uint8_t>(p >> 8);
    }
}

namespace {
const MulAddPath& ChosenPath() {
    static const MulAddPath& chosen = [&]() -> const MulAddPath& {
        for (const MulAddPath& path : kMulAddPaths)
            if (path.available())
                return path;
        return kMulAddPaths[std::size(kMulAddPaths) - 1];
    }();
    return chosen;
}
} // namespace

void MulAdd(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    ChosenPath().run(factor, src, dst, len);
}

const char* MulAddPathName() {
    return ChosenPath().name;
}

} // namespace gf16
