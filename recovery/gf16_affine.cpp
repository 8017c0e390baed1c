// Multiply-and-add by GFNI's affine byte transform: each byte of a 16-bit product is the XOR of two 8x8
// bit matrices applied to the source word's low and high bytes, one instruction per matrix and register.
// The 256-bit path takes a chunk's low and high halves as two registers; the 512-bit one takes the whole
// chunk in one and its halves swapped in another, with each half's matrices side by side.
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

__attribute__((VECTOR_ALIGN_STACK target("avx2,gfni"))) void MulAddGfni(uint16_t factor, const uint8_t* src,
                                                                        uint8_t* dst, size_t len) {
    if (factor == 0)
        return;
    Products p;
    PrepareProducts(factor, p);
    __m256i m[4];
    for (int k = 0; k < 4; ++k)
        m[k] = _mm256_set1_epi64x(static_cast<long long>(p.affine[k]));
    // Words split into low and high bytes within each 128-bit lane and joined again, as MulAddAvx2 does.
    const __m256i split = _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12,
                                           14, 1, 3, 5, 7, 9, 11, 13, 15);
    size_t i = 0;
    for (; i + 64 <= len; i += 64) {
        const __m256i a = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), split);
        const __m256i b =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32)), split);
        __m256i rl, rh;
        ProductGfni(_mm256_unpacklo_epi64(a, b), _mm256_unpackhi_epi64(a, b), m, rl, rh);
        __m256i* d = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(d, _mm256_xor_si256(_mm256_loadu_si256(d), _mm256_unpacklo_epi8(rl, rh)));
        _mm256_storeu_si256(d + 1, _mm256_xor_si256(_mm256_loadu_si256(d + 1), _mm256_unpackhi_epi8(rl, rh)));
    }
    MulAddPortable(factor, src + i, dst + i, len - i);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2,gfni"))) void MulAddWorkingGfni(const Products& f, const uint8_t* src,
                                                                               uint8_t* dst, size_t len) {
    __m256i m[4];
    for (int k = 0; k < 4; ++k)
        m[k] = _mm256_set1_epi64x(static_cast<long long>(f.affine[k]));
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        __m256i rl, rh;
        ProductGfni(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c)),
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c + 32)), m, rl, rh);
        __m256i* dl = reinterpret_cast<__m256i*>(dst + c);
        __m256i* dh = reinterpret_cast<__m256i*>(dst + c + 32);
        _mm256_storeu_si256(dl, _mm256_xor_si256(_mm256_loadu_si256(dl), rl));
        _mm256_storeu_si256(dh, _mm256_xor_si256(_mm256_loadu_si256(dh), rh));
    }
}

// Inputs summed per pass over the destination: their matrices stay in the first-level cache, and the
// destination is loaded and stored once for all of them.
constexpr size_t kGroup = 8;

__attribute__((VECTOR_ALIGN_STACK target("avx2,gfni"))) void SumWorkingGfni(const Products* f,
                                                                            const uint8_t* const* srcs, size_t count,
                                                                            uint8_t* dst, size_t len) {
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        __m256i m[kGroup][4];
        for (size_t i = 0; i < n; ++i)
            for (int k = 0; k < 4; ++k)
                m[i][k] = _mm256_set1_epi64x(static_cast<long long>(f[first + i].affine[k]));
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

#define GF16_AVX512_GFNI_TARGET target("avx2,avx512f,avx512bw,gfni")

__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void
MulAddWorkingAvx512Gfni(const Products& f, const uint8_t* src, uint8_t* dst, size_t len) {
    // The chunk as it lies (low bytes, then high) takes low-to-low and high-to-high; swapped, the other two.
    const __m512i same = _mm512_inserti64x4(_mm512_set1_epi64(static_cast<long long>(f.affine[0])),
                                            _mm256_set1_epi64x(static_cast<long long>(f.affine[3])), 1);
    const __m512i crossed = _mm512_inserti64x4(_mm512_set1_epi64(static_cast<long long>(f.affine[1])),
                                               _mm256_set1_epi64x(static_cast<long long>(f.affine[2])), 1);
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m512i x = _mm512_loadu_si512(src + c);
        const __m512i swapped = _mm512_shuffle_i64x2(x, x, 0x4E);
        __m512i* d = reinterpret_cast<__m512i*>(dst + c);
        _mm512_storeu_si512(d, _mm512_ternarylogic_epi64(_mm512_loadu_si512(d),
                                                         _mm512_gf2p8affine_epi64_epi8(x, same, 0),
                                                         _mm512_gf2p8affine_epi64_epi8(swapped, crossed, 0), 0x96));
    }
}

__attribute__((VECTOR_ALIGN_STACK GF16_AVX512_GFNI_TARGET)) void SumWorkingAvx512Gfni(const Products* f,
                                                                                    const uint8_t* const* srcs,
                                                                                    size_t count, uint8_t* dst,
                                                                                    size_t len) {
    for (size_t first = 0; first < count; first += kGroup) {
        const size_t n = std::min(kGroup, count - first);
        __m512i same[kGroup], crossed[kGroup];
        for (size_t i = 0; i < n; ++i) {
            const Products& p = f[first + i];
            same[i] = _mm512_inserti64x4(_mm512_set1_epi64(static_cast<long long>(p.affine[0])),
                                         _mm256_set1_epi64x(static_cast<long long>(p.affine[3])), 1);
            crossed[i] = _mm512_inserti64x4(_mm512_set1_epi64(static_cast<long long>(p.affine[1])),
                                            _mm256_set1_epi64x(static_cast<long long>(p.affine[2])), 1);
        }
        for (size_t c = 0; c < len; c += kWorkingChunk) {
            __m512i* d = reinterpret_cast<__m512i*>(dst + c);
            __m512i acc = _mm512_loadu_si512(d);
            for (size_t i = 0; i < n; ++i) {
                const __m512i x = _mm512_loadu_si512(srcs[first + i] + c);
                acc = _mm512_ternarylogic_epi64(acc, _mm512_gf2p8affine_epi64_epi8(x, same[i], 0),
                                                _mm512_gf2p8affine_epi64_epi8(_mm512_shuffle_i64x2(x, x, 0x4E),
                                                                              crossed[i], 0),
                                                0x96);
            }
            _mm512_storeu_si512(d, acc);
        }
    }
}

} // namespace gf16
