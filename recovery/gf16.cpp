#include "recovery/gf16.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "core/gf16_field.h"
#include "recovery/gf16_paths.h"

namespace gf16 {
namespace {

constexpr uint32_t kPolynomial = 0x1100B;

} // namespace

// The portable arithmetic is the shared one (core/gf16_field), which catstub carries too.
void Prepare() {
    static const bool ready = (field::Prepare(), true);
    (void)ready;
}

uint16_t Mul(uint16_t a, uint16_t b) {
    Prepare();
    return field::Mul(a, b);
}

uint16_t Div(uint16_t a, uint16_t b) {
    Prepare();
    return field::Div(a, b);
}

uint16_t Inv(uint16_t a) {
    return Div(1, a);
}

uint16_t Exp2(uint64_t e) {
    Prepare();
    return field::Exp2(e);
}

uint16_t Log2(uint16_t a) {
    Prepare();
    return field::Log2(a);
}

uint16_t Pow(uint16_t base, uint64_t e) {
    if (e == 0)
        return 1;
    if (base == 0)
        return 0;
    return Exp2(static_cast<uint64_t>(Log2(base)) * (e % 65535));
}

void MulAddPortable(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    Prepare();
    field::MulAdd(factor, src, dst, len);
}

void PrepareProducts(uint16_t factor, Products& products) {
    // The product is linear in the source: factor times each bit, then every nibble as XOR of its bits.
    uint16_t bit[16];
    uint32_t x = factor;
    for (int j = 0; j < 16; ++j) {
        bit[j] = static_cast<uint16_t>(x);
        x <<= 1;
        if (x & 0x10000)
            x ^= kPolynomial;
    }
    for (int k = 0; k < 4; ++k) {
        uint16_t t[16];
        t[0] = 0;
        for (int n = 1; n < 16; ++n) {
            const int low = __builtin_ctz(static_cast<unsigned>(n));
            t[n] = static_cast<uint16_t>(t[n & (n - 1)] ^ bit[4 * k + low]);
        }
        for (int n = 0; n < 16; ++n) {
            products.lo[k][n] = static_cast<uint8_t>(t[n]);
            products.hi[k][n] = static_cast<uint8_t>(t[n] >> 8);
        }
    }
    // Output bit i of a byte map collects, from each input bit j, bit i of the map's image of bit j: the
    // images' bytes as the rows of a bit matrix, transposed, row i in byte 7 - i.
    auto matrix = [&bit](int from, int shift) {
        uint64_t w = 0;
        for (int j = 0; j < 8; ++j)
            w |= static_cast<uint64_t>((bit[from + j] >> shift) & 0xFFu) << (8 * j);
        uint64_t t = (w ^ (w >> 7)) & 0x00AA00AA00AA00AAull;
        w ^= t ^ (t << 7);
        t = (w ^ (w >> 14)) & 0x0000CCCC0000CCCCull;
        w ^= t ^ (t << 14);
        t = (w ^ (w >> 28)) & 0x00000000F0F0F0F0ull;
        w ^= t ^ (t << 28);
        return __builtin_bswap64(w);
    };
    products.affine[0] = matrix(0, 0);
    products.affine[1] = matrix(8, 0);
    products.affine[2] = matrix(0, 8);
    products.affine[3] = matrix(8, 8);
}

namespace {
// The word whose bytes sit at place j of a chunk's halves: the shuffle paths' in-lane unpacking puts
// words 8..15 and 16..23 the other way round.
size_t WordAt(size_t j) {
    return (j & ~size_t{0x18}) | (j & 8) << 1 | (j & 16) >> 1;
}
} // namespace

void ToWorkingPortable(const uint8_t* src, uint8_t* dst, size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        uint8_t chunk[kWorkingChunk];
        for (size_t j = 0; j < 32; ++j) {
            chunk[j] = src[c + 2 * WordAt(j)];
            chunk[32 + j] = src[c + 2 * WordAt(j) + 1];
        }
        std::copy(chunk, chunk + kWorkingChunk, dst + c);
    }
}

void FromWorkingPortable(const uint8_t* src, uint8_t* dst, size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        uint8_t chunk[kWorkingChunk];
        for (size_t j = 0; j < 32; ++j) {
            chunk[2 * WordAt(j)] = src[c + j];
            chunk[2 * WordAt(j) + 1] = src[c + 32 + j];
        }
        std::copy(chunk, chunk + kWorkingChunk, dst + c);
    }
}

void MulAddWorkingPortable(const Products& f, const uint8_t* src, uint8_t* dst, size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk)
        for (size_t j = 0; j < 32; ++j) {
            const uint8_t l = src[c + j], h = src[c + 32 + j];
            dst[c + j] ^= f.lo[0][l & 15] ^ f.lo[1][l >> 4] ^ f.lo[2][h & 15] ^ f.lo[3][h >> 4];
            dst[c + 32 + j] ^= f.hi[0][l & 15] ^ f.hi[1][l >> 4] ^ f.hi[2][h & 15] ^ f.hi[3][h >> 4];
        }
}

namespace {

template <class Path, size_t N> const Path& FirstAvailable(const Path (&paths)[N]) {
    for (const Path& path : paths)
        if (path.available())
            return path;
    return paths[N - 1];
}

const MulAddPath& ChosenMulAdd() {
    static const MulAddPath& chosen = FirstAvailable(kMulAddPaths);
    return chosen;
}

const WorkingPath& ChosenWorking() {
    static const WorkingPath& chosen = FirstAvailable(kWorkingPaths);
    return chosen;
}

} // namespace

void MulAdd(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    ChosenMulAdd().run(factor, src, dst, len);
}

const char* MulAddPathName() {
    return ChosenMulAdd().name;
}

const char* WorkingPathName() {
    return ChosenWorking().name;
}

void ToWorking(const uint8_t* src, uint8_t* dst, size_t len) {
    ChosenWorking().toWorking(src, dst, len);
}

void FromWorking(const uint8_t* src, uint8_t* dst, size_t len) {
    ChosenWorking().fromWorking(src, dst, len);
}

void MulAddWorking(const Products& factor, const uint8_t* src, uint8_t* dst, size_t len) {
    ChosenWorking().addWorking(factor, src, dst, len);
}

void SumWorking(const Products* factors, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    ChosenWorking().sumWorking(factors, srcs, count, dst, len);
}

bool SumsFromMatrices() {
    return ChosenWorking().sumMatrices != nullptr;
}

void SumWorkingMatrices(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    ChosenWorking().sumMatrices(matrices, srcs, count, dst, len);
}

void SumWorkingMatricesIntoEach(const uint64_t* matrices, const uint8_t* const* srcs, size_t count,
                                uint8_t* const* dsts, size_t outputs, size_t at, size_t len, bool prefetch) {
    ChosenWorking().sumIntoEach(matrices, srcs, count, dsts, outputs, at, len, prefetch);
}

} // namespace gf16
