// Arithmetic in GF(2^16) with the generator polynomial 0x1100B, as recovery files use it: elements are
// 16-bit words, stored little-endian in the data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gf16 {

uint16_t Mul(uint16_t a, uint16_t b);
// a / b; b must not be 0.
uint16_t Div(uint16_t a, uint16_t b);
uint16_t Inv(uint16_t a); // a must not be 0
// 2 raised to e (any e; the multiplicative group has order 65535).
uint16_t Exp2(uint64_t e);
// The logarithm to base 2 of a (a must not be 0), in 0..65534.
uint16_t Log2(uint16_t a);
// base^e.
uint16_t Pow(uint16_t base, uint64_t e);

// dst[i] ^= factor * src[i] over len bytes of little-endian words (len even). The portable oracle every
// faster path is tested against.
void MulAddPortable(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
// The same on the fastest path this processor has.
void MulAdd(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
// Its name: "avx2", "ssse3" or "portable".
const char* MulAddPathName();

} // namespace gf16
