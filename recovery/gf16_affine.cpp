// Multiply-and-add by GFNI's affine byte transform: each byte of a 16-bit product is the XOR of two 8x8
// bit matrices applied to the source word's low and high bytes, one instruction per matrix and register.
// The 256-bit path takes a chunk's low and high halves as two registers; the 512-bit one takes the whole
// chunk in one, with each half's matrices side by side, and swaps the halves of one of its two sums.
#include <immintrin.h>

#include <algorithm>

#include "core/cpu_state.h"
#include "recovery/gf16_paths.h"

namespace gf16 {

__attribute__((always_inline, target("avx2,gfni"))) inline void ProductGfni(__m256i l, __m256i h, const __m256i* m,
                                                                            __m256i& rl, __m256i& rh) {
    rl = _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(l, m[0], 0), _mm256_gf2p8affine_epi64_epi8(h, m[1], 0));
    rh = _mm256_xor_si256(_mm256_gf2p8affine_epi64_epi8(l, m[2], 0), _mm256_gf2p8affine_epi64_epi8(h, m[3], 0));
}

// Inputs summed per pass over the destination: their matrices stay in the first-level cache, and the
// destination is loaded and stored once for all of them.
constexpr size_t kGroup = 8;

// Matrices(i): the four matrices of factor i (Products::affine, or the same four words held alone).
template <class Matrices>
__attribute__((always_inline, target("avx2,gfni"))) inline void SumGfni(Matrices matrices, const uint8_t* const* srcs,
                                                                        size_t count, uint8_t* dst, size_t len) {
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        __m256i m[kGroup][4];
        for (size_t i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k)
                m[i][k] = _mm256_set1_epi64x(static_cast<long long>(matrices(first + i)[k]));
        for (size_t c = 0; c < len; c += kWorkingChunk) {
            __m256i* dl = reinterpret_cast<__m256i*>(dst + c);
            __m256i* dh = reinterpret_cast<__m256i*>(dst + c + 32);
            __m256i al = _mm256_loadu_si256(dl), ah = _mm256_loadu_si256(dh);
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* src = srcs[first + i] + c;
                __m256i rl, rh;
                ProductGfni(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src)),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 32)), m[i], rl, rh);
                al = _mm256_xor_si256(al, rl);
                ah = _mm256_xor_si256(ah, rh);
            }
            _mm256_storeu_si256(dl, al);
            _mm256_storeu_si256(dh, ah);
        }
    }
}

__attribute__((VECTOR_ALIGN_STACK target("avx2,gfni"))) void
SumWorkingGfni(const Products* f, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    SumGfni([f](size_t i) { return f[i].affine; }, srcs, count, dst, len);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2,gfni"))) void
SumMatricesGfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    SumGfni([matrices](size_t i) { return matrices + 4 * i; }, srcs, count, dst, len);
}

#define GF16_AVX512_GFNI_TARGET target("avx2,avx512f,avx512bw,gfni")

// N inputs into one output. Each input chunk x (low bytes, then high bytes) meets two matrix pairs where
// it lies: "same" gives its low bytes' share of the low product and its high bytes' share of the high one;
// "crossed" gives the high product's share of the low bytes and the low product's share of the high ones,
// each in the wrong half. The crossed shares are summed apart and their halves swapped once per chunk,
// not once per input.
template <size_t N>
__attribute__((always_inline, GF16_AVX512_GFNI_TARGET)) inline void
SumChunksAvx512Gfni(const __m512i (&same)[N], const __m512i (&crossed)[N], const uint8_t* const (&from)[N],
                    uint8_t* dst, size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        __m512i* d = reinterpret_cast<__m512i*>(dst + c);
        __m512i acc = _mm512_loadu_si512(d), across = _mm512_setzero_si512();
        size_t i = 0;
        for (; i + 2 <= N; i += 2) {
            __m512i x = _mm512_loadu_si512(from[i] + c), y = _mm512_loadu_si512(from[i + 1] + c);
            // Each input loaded once for both its products: the compiler would rather load it twice.
            asm("" : "+v"(x), "+v"(y));
            acc = _mm512_ternarylogic_epi64(acc, _mm512_gf2p8affine_epi64_epi8(x, same[i], 0),
                                            _mm512_gf2p8affine_epi64_epi8(y, same[i + 1], 0), 0x96);
            across = _mm512_ternarylogic_epi64(across, _mm512_gf2p8affine_epi64_epi8(x, crossed[i], 0),
                                               _mm512_gf2p8affine_epi64_epi8(y, crossed[i + 1], 0), 0x96);
        }
        if (i < N) {
            __m512i x = _mm512_loadu_si512(from[i] + c);
            asm("" : "+v"(x));
            acc = _mm512_xor_si512(acc, _mm512_gf2p8affine_epi64_epi8(x, same[i], 0));
            across = _mm512_xor_si512(across, _mm512_gf2p8affine_epi64_epi8(x, crossed[i], 0));
        }
        _mm512_storeu_si512(d, _mm512_xor_si512(acc, _mm512_shuffle_i64x2(across, across, 0x4E)));
    }
}

template <size_t N>
__attribute__((always_inline, GF16_AVX512_GFNI_TARGET)) inline void
SumGroupAvx512Gfni(const __m512i* sameIn, const __m512i* crossedIn, const uint8_t* const* srcs, uint8_t* dst,
                   size_t len) {
    const uint8_t* from[N];
    __m512i same[N], crossed[N];
    for (size_t i = 0; i < N; ++i) {
        from[i] = srcs[i];
        same[i] = sameIn[i];
        crossed[i] = crossedIn[i];
        // The matrices held in registers for the whole loop, not read from memory at every use.
        asm("" : "+v"(same[i]), "+v"(crossed[i]));
    }
    SumChunksAvx512Gfni<N>(same, crossed, from, dst, len);
}

// A factor's four matrices in one load, spread into the halves where they meet the chunk.
__attribute__((always_inline, GF16_AVX512_GFNI_TARGET)) inline void SpreadMatrices(const uint64_t* four,
                                                                                  __m512i& same, __m512i& crossed) {
    const __m512i all = _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(four)));
    same = _mm512_permutexvar_epi64(_mm512_setr_epi64(0, 0, 0, 0, 3, 3, 3, 3), all);
    crossed = _mm512_permutexvar_epi64(_mm512_setr_epi64(2, 2, 2, 2, 1, 1, 1, 1), all);
}

// N inputs into each of many outputs in turn, output o's factors at matrices + 4 * N * o: one call for the
// whole group, its matrices spread in registers for each output's run.
template <size_t N>
__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void
SumGroupIntoEachAvx512Gfni(const uint64_t* matrices, const uint8_t* const* srcs, uint8_t* const* dsts,
                           size_t outputs, size_t at, size_t len, bool prefetch) {
    const uint8_t* from[N];
    for (size_t i = 0; i < N; ++i)
        from[i] = srcs[i];
    for (size_t o = 0; o < outputs; ++o) {
        __m512i same[N], crossed[N];
        for (size_t i = 0; i < N; ++i)
            SpreadMatrices(matrices + 4 * (N * o + i), same[i], crossed[i]);
        if (prefetch && o + 1 < outputs)
            for (size_t c = 0; c < len; c += kWorkingChunk)
                __builtin_prefetch(dsts[o + 1] + at + c, 1, 2);
        SumChunksAvx512Gfni<N>(same, crossed, from, dsts[o] + at, len);
    }
}

template <size_t N>
__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void
SumGroupAvx512GfniOf(const __m512i* same, const __m512i* crossed, const uint8_t* const* srcs, uint8_t* dst,
                     size_t len) {
    SumGroupAvx512Gfni<N>(same, crossed, srcs, dst, len);
}

using SumGroup = void (*)(const __m512i*, const __m512i*, const uint8_t* const*, uint8_t*, size_t);
// A group of every size up to kGroup, each with its loop unrolled.
static_assert(kGroup == 8, "a group of every size");
constexpr SumGroup kSumGroups[kGroup] = {SumGroupAvx512GfniOf<1>, SumGroupAvx512GfniOf<2>, SumGroupAvx512GfniOf<3>,
                                         SumGroupAvx512GfniOf<4>, SumGroupAvx512GfniOf<5>, SumGroupAvx512GfniOf<6>,
                                         SumGroupAvx512GfniOf<7>, SumGroupAvx512GfniOf<8>};

template <class Matrices>
__attribute__((always_inline, GF16_AVX512_GFNI_TARGET)) inline void
SumAvx512Gfni(Matrices matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        __m512i same[kGroup], crossed[kGroup];
        for (size_t i = 0; i < n; ++i)
            SpreadMatrices(matrices(first + i), same[i], crossed[i]);
        kSumGroups[n - 1](same, crossed, srcs + first, dst, len);
    }
}

__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void
SumWorkingAvx512Gfni(const Products* f, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    SumAvx512Gfni([f](size_t i) { return f[i].affine; }, srcs, count, dst, len);
}

__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void
SumMatricesAvx512Gfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* dst, size_t len) {
    SumAvx512Gfni([matrices](size_t i) { return matrices + 4 * i; }, srcs, count, dst, len);
}

using SumGroupIntoEach = void (*)(const uint64_t*, const uint8_t* const*, uint8_t* const*, size_t, size_t, size_t,
                                  bool);
constexpr SumGroupIntoEach kSumGroupsIntoEach[kGroup] = {
    SumGroupIntoEachAvx512Gfni<1>, SumGroupIntoEachAvx512Gfni<2>, SumGroupIntoEachAvx512Gfni<3>,
    SumGroupIntoEachAvx512Gfni<4>, SumGroupIntoEachAvx512Gfni<5>, SumGroupIntoEachAvx512Gfni<6>,
    SumGroupIntoEachAvx512Gfni<7>, SumGroupIntoEachAvx512Gfni<8>};

void SumIntoEachAvx512Gfni(const uint64_t* matrices, const uint8_t* const* srcs, size_t count, uint8_t* const* dsts,
                           size_t outputs, size_t at, size_t len, bool prefetch) {
    if (count > kGroup)
        return SumIntoEachMatrices<SumMatricesAvx512Gfni>(matrices, srcs, count, dsts, outputs, at, len, prefetch);
    kSumGroupsIntoEach[count - 1](matrices, srcs, dsts, outputs, at, len, prefetch);
}

// One input is a sum of one.
void MulAddWorkingGfni(const Products& f, const uint8_t* src, uint8_t* dst, size_t len) {
    SumWorkingGfni(&f, &src, 1, dst, len);
}

void MulAddWorkingAvx512Gfni(const Products& f, const uint8_t* src, uint8_t* dst, size_t len) {
    SumWorkingAvx512Gfni(&f, &src, 1, dst, len);
}

} // namespace gf16
