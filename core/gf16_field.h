// GF(2^16) with the generator polynomial 0x1100B, as recovery files use it, on tables computed at start
// rather than stored: catstub carries this arithmetic inside its fixed image size, and the engines take
// their portable path from it. No allocation: the tables live in static storage (zero in the image).
#pragma once

#include <cstddef>
#include <cstdint>

namespace gf16 {
namespace field {

// Fills the tables; before any other call. Idempotent, but not to be raced: the engines call it once
// under their own guard, catstub on its one thread.
void Prepare();

uint16_t Mul(uint16_t a, uint16_t b);
uint16_t Div(uint16_t a, uint16_t b); // b must not be 0
uint16_t Exp2(uint64_t e);            // any e; the multiplicative group has order 65535
uint16_t Log2(uint16_t a);            // a must not be 0; in 0..65534
// The factor of input slice i (0 to 32767) in the recovery slice of the given exponent: 2 to the power of
// the i-th exponent coprime to 65535, raised to exponent.
uint16_t InputFactor(uint32_t i, uint32_t exponent);

// dst[i] ^= factor * src[i] over len bytes of little-endian words (len even).
void MulAdd(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
// The same, taking SSSE3's shuffles where the processor has them (catstub's choice; the engines have
// their own faster paths). Prepare() finds out.
void MulAddFastest(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);
// The SSSE3 part alone: the bytes it did, a multiple of 32; only where the processor has SSSE3.
size_t MulAddSsse3(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len);

} // namespace field
} // namespace gf16
