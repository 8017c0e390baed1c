// The constants of the carry-less multiply CRC-32 path, derived from the polynomial at compile time.
#pragma once

#include <cstdint>

namespace crc32fold {

// CRC-32 polynomial without its x^32 term, reflected: bit j stands for x^(31-j).
constexpr uint32_t kPolyReflected = 0xEDB88320u;

// x^n mod P in the register's reflected form. Multiplying by x is a shift
// right; a term pushed out at x^32 is replaced by the rest of P.
constexpr uint32_t XPowMod(unsigned n) {
    uint32_t v = 0x80000000u; // x^0
    for (unsigned i = 0; i < n; ++i)
        v = (v & 1) ? (v >> 1) ^ kPolyReflected : v >> 1;
    return v;
}

// The reflected form of a polynomial given with bit t standing for x^t.
constexpr uint64_t Reflect(uint64_t v, unsigned bits) {
    uint64_t r = 0;
    for (unsigned i = 0; i < bits; ++i)
        if (v >> i & 1)
            r |= uint64_t{1} << (bits - 1 - i);
    return r;
}

// floor(x^64 / P) by long division, bit t standing for x^t (33 bits, x^32 set).
constexpr uint64_t BarrettQuotient() {
    constexpr uint64_t poly = (uint64_t{1} << 32) | Reflect(kPolyReflected, 32); // P, bit t = x^t
    // Remainder window of 33 bits slides down the dividend x^64.
    uint64_t rem = uint64_t{1} << 32; // the top 33 bits of x^64: x^64 itself
    uint64_t quotient = 0;
    for (int t = 32; t >= 0; --t) {
        // rem holds the dividend's terms x^(t+32) .. x^t shifted down by t.
        if (rem >> 32 & 1) {
            quotient |= uint64_t{1} << t;
            rem ^= poly;
        }
        rem <<= 1; // the next lower term of x^64 is 0
    }
    return quotient;
}

// How PCLMULQDQ sees a 64-bit half of a register loaded from memory: bit i
// stands for x^(63-i), and the 128-bit product of two halves comes out one
// degree higher than the polynomial product (bit k of it stands for x^(127-k)).
// A constant that multiplies a half by x^n is therefore x^(n-1) mod P, whose
// 32 terms sit in the upper half of the quadword.
constexpr uint64_t Multiplier(unsigned n) {
    return uint64_t{XPowMod(n - 1)} << 32;
}

// Folding moves a 128-bit block (a low half L of higher degree, a high half H)
// forward by D bits: L*x^(D+64) + H*x^D, one multiply per half.
struct FoldPair {
    uint64_t low;  // multiplies the low half
    uint64_t high; // multiplies the high half
};
constexpr FoldPair FoldBy(unsigned bits) {
    return {Multiplier(bits + 64), Multiplier(bits)};
}

// The running blocks move forward by the width of data taken in per step:
// sixteen 128-bit blocks in four 512-bit registers, eight blocks in 128-bit
// registers, one 512-bit register, one block. The 384- and 256-bit moves
// gather the four blocks of one 512-bit register into its last block.
constexpr FoldPair kFold2048 = FoldBy(2048);
constexpr FoldPair kFold1024 = FoldBy(1024);
constexpr FoldPair kFold512 = FoldBy(512);
constexpr FoldPair kFold384 = FoldBy(384);
constexpr FoldPair kFold256 = FoldBy(256);
constexpr FoldPair kFold128 = FoldBy(128);

// The register is the 128-bit remainder times x^32 mod P. First the low half
// is multiplied by x^96, then the 32 terms left above x^64 by x^64.
constexpr FoldPair kFinish = {Multiplier(96), Multiplier(64)};

// Barrett reduction of the last 64 bits. The quotient's multiplier drops the
// quotient constant's x^0 term: it only reaches terms below x^32 of the
// product, which the quotient does not use. The polynomial is placed so that
// the low 32 terms of quotient*P land in bits 64..95 of the product.
constexpr uint64_t kBarrettMu = Reflect(BarrettQuotient(), 33) << 32;
constexpr uint64_t kBarrettPoly = (uint64_t{kPolyReflected} << 1) | 1;

} // namespace crc32fold
