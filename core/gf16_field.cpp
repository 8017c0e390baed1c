#include "core/gf16_field.h"

#include "core/cpu_state.h"

namespace gf16 {
namespace field {
namespace {

constexpr uint32_t kPolynomial = 0x1100B;
constexpr uint32_t kOrder = 65535;
constexpr uint32_t kInputExponents = 32768;

// Doubled exponent table, so that exp[log a + log b] needs no reduction.
uint16_t g_exp[2 * kOrder];
uint16_t g_log[65536];
// The exponents coprime to 65535, in rising order.
uint16_t g_inputExponent[kInputExponents];
bool g_ready = false;
bool g_ssse3 = false;

} // namespace

void Prepare() {
    if (g_ready)
        return;
    uint32_t x = 1;
    for (uint32_t i = 0; i < kOrder; ++i) {
        g_exp[i] = g_exp[i + kOrder] = static_cast<uint16_t>(x);
        g_log[x] = static_cast<uint16_t>(i);
        x <<= 1;
        if (x & 0x10000)
            x ^= kPolynomial;
    }
    uint32_t count = 0;
    for (uint32_t n = 1; n < kOrder && count < kInputExponents; ++n)
        if (n % 3 && n % 5 && n % 17 && n % 257)
            g_inputExponent[count++] = static_cast<uint16_t>(n);
#if defined(__i386__) || defined(__x86_64__)
    g_ssse3 = HasSsse3();
#endif
    g_ready = true;
}

uint16_t Mul(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0)
        return 0;
    return g_exp[g_log[a] + g_log[b]];
}

uint16_t Div(uint16_t a, uint16_t b) {
    if (a == 0)
        return 0;
    return g_exp[g_log[a] + kOrder - g_log[b]];
}

uint16_t Exp2(uint64_t e) {
    return g_exp[e % kOrder];
}

uint16_t Log2(uint16_t a) {
    return g_log[a];
}

uint16_t InputFactor(uint32_t i, uint32_t exponent) {
    return Exp2(static_cast<uint64_t>(g_inputExponent[i]) * exponent);
}

void MulAdd(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    if (factor == 0 || len < 2)
        return;
    // Two tables of 256 products, for the low and the high byte of each word.
    uint16_t lo[256], hi[256];
    for (uint32_t i = 0; i < 256; ++i) {
        lo[i] = Mul(factor, static_cast<uint16_t>(i));
        hi[i] = Mul(factor, static_cast<uint16_t>(i << 8));
    }
    // Four words at a time through one 64-bit load and store (the data is little-endian, as on every target).
    size_t i = 0;
    for (; i + 8 <= len; i += 8) {
        uint64_t words, sum;
        __builtin_memcpy(&words, src + i, 8);
        __builtin_memcpy(&sum, dst + i, 8);
        for (int w = 0; w < 64; w += 16)
            sum ^= static_cast<uint64_t>(lo[(words >> w) & 0xFF] ^ hi[(words >> (w + 8)) & 0xFF]) << w;
        __builtin_memcpy(dst + i, &sum, 8);
    }
    for (; i + 1 < len; i += 2) {
        const uint16_t p = lo[src[i]] ^ hi[src[i + 1]];
        dst[i] ^= static_cast<uint8_t>(p);
        dst[i + 1] ^= static_cast<uint8_t>(p >> 8);
    }
}

void MulAddFastest(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    size_t done = 0;
#if defined(__i386__) || defined(__x86_64__)
    if (g_ssse3 && factor != 0)
        done = MulAddSsse3(factor, src, dst, len);
#endif
    MulAdd(factor, src + done, dst + done, len - done);
}

} // namespace field
} // namespace gf16
