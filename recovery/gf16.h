// Arithmetic in GF(2^16) with the generator polynomial 0x1100B, as recovery files use it: elements are
// 16-bit words, stored little-endian in the data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gf16 {

// The shared field tables (core/gf16_field) filled, once and safely from any thread; every function here
// does it itself, callers of the shared code directly call it first.
void Prepare();

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
// Its name: one of kMulAddPaths' ("avx2", "ssse3" or "portable").
const char* MulAddPathName();

// The working layout of the bulk arithmetic: chunks of 64 bytes (32 words), each holding its words' low
// bytes and then their high bytes, so that a product needs no reordering of bytes. Where each word goes
// within its chunk is the conversions' business; buffers in it are a multiple of the chunk long.
constexpr size_t kWorkingChunk = 64;
inline size_t WorkingSize(size_t len) {
    return (len + kWorkingChunk - 1) / kWorkingChunk * kWorkingChunk;
}
// The products of a factor by each nibble of a word, split into their low and high bytes (nibble 0 the
// lowest): made once per factor, used for every chunk it multiplies.
struct Products {
    alignas(16) uint8_t lo[4][16];
    alignas(16) uint8_t hi[4][16];
    // The same map as four 8x8 bit matrices for GFNI's affine transform (row of output bit i in byte 7 - i):
    // low byte to low, high to low, low to high, high to high.
    uint64_t affine[4];
};
void PrepareProducts(uint16_t factor, Products& products);
// The name of the path the working layout's arithmetic takes here: one of kWorkingPaths' ("avx512-gfni",
// "gfni", ... "portable").
const char* WorkingPathName();
// Between the files' layout and the working one, len a multiple of the chunk; src may be dst.
void ToWorking(const uint8_t* src, uint8_t* dst, size_t len);
void FromWorking(const uint8_t* src, uint8_t* dst, size_t len);
// dst ^= factor * src, both in the working layout.
void MulAddWorking(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len);
// dst ^= the sum of factors[i] * srcs[i] for i < count, all in the working layout.
void SumWorking(const Products* factors, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len);
// Whether the path here sums from the factors' matrices alone (Products::affine): a caller holding many
// factors then keeps those four words of each, a fifth of a Products, and calls SumWorkingMatrices with
// factor i's at matrices + 4 * i.
bool SumsFromMatrices();
void SumWorkingMatrices(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len);
// The same inputs into bytes [at, at + len) of each of many outputs, output o's matrices at
// matrices + 4 * count * o; with prefetch, each output's run is fetched while the one before it is summed.
void SumWorkingMatricesIntoEach(const uint64_t* matrices, const uint8_t* const* srcs, size_t count,
                                uint8_t* const* dsts, size_t outputs, size_t at, size_t len, bool prefetch);

} // namespace gf16
