// Multiply-and-add by byte shuffles (SSSE3, AVX2): each 16-bit product is the XOR of four products by
// one nibble of the source word, and a shuffle looks up sixteen of those at once. MulAdd keeps the words
// in the files' order, splitting each pair of registers into low and high bytes and joining them again;
// the working layout has them split already, which leaves the shuffles alone in the loop.
#include <immintrin.h>

#include "core/cpu_state.h"
#include "recovery/gf16_paths.h"

namespace gf16 {

// The product of sixteen (thirty-two) words, given their low bytes l and high bytes h: its low bytes in
// rl, its high bytes in rh.
__attribute__((always_inline, target("ssse3"))) inline void
ProductSsse3(__m128i l, __m128i h, const __m128i* tl, const __m128i* th, __m128i mask, __m128i& rl, __m128i& rh) {
    const __m128i n0 = _mm_and_si128(l, mask), n1 = _mm_and_si128(_mm_srli_epi16(l, 4), mask);
    const __m128i n2 = _mm_and_si128(h, mask), n3 = _mm_and_si128(_mm_srli_epi16(h, 4), mask);
    rl = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(tl[0], n0), _mm_shuffle_epi8(tl[1], n1)),
                       _mm_xor_si128(_mm_shuffle_epi8(tl[2], n2), _mm_shuffle_epi8(tl[3], n3)));
    rh = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(th[0], n0), _mm_shuffle_epi8(th[1], n1)),
                       _mm_xor_si128(_mm_shuffle_epi8(th[2], n2), _mm_shuffle_epi8(th[3], n3)));
}

__attribute__((always_inline, target("avx2"))) inline void
ProductAvx2(__m256i l, __m256i h, const __m256i* tl, const __m256i* th, __m256i mask, __m256i& rl, __m256i& rh) {
    const __m256i n0 = _mm256_and_si256(l, mask), n1 = _mm256_and_si256(_mm256_srli_epi16(l, 4), mask);
    const __m256i n2 = _mm256_and_si256(h, mask), n3 = _mm256_and_si256(_mm256_srli_epi16(h, 4), mask);
    rl = _mm256_xor_si256(_mm256_xor_si256(_mm256_shuffle_epi8(tl[0], n0), _mm256_shuffle_epi8(tl[1], n1)),
                          _mm256_xor_si256(_mm256_shuffle_epi8(tl[2], n2), _mm256_shuffle_epi8(tl[3], n3)));
    rh = _mm256_xor_si256(_mm256_xor_si256(_mm256_shuffle_epi8(th[0], n0), _mm256_shuffle_epi8(th[1], n1)),
                          _mm256_xor_si256(_mm256_shuffle_epi8(th[2], n2), _mm256_shuffle_epi8(th[3], n3)));
}

__attribute__((VECTOR_ALIGN_STACK target("ssse3"))) void MulAddSsse3(uint16_t factor, const uint8_t* src, uint8_t* dst,
                                                                     size_t len) {
    if (factor == 0)
        return;
    Products p;
    PrepareProducts(factor, p);
    __m128i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(p.lo[k]));
        th[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(p.hi[k]));
    }
    const __m128i mask = _mm_set1_epi8(0x0F);
    // Even bytes (the words' low halves) to the lower 8 lanes, odd bytes to the upper 8.
    const __m128i split = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    size_t i = 0;
    for (; i + 32 <= len; i += 32) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), split);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16)), split);
        const __m128i l = _mm_unpacklo_epi64(a, b), h = _mm_unpackhi_epi64(a, b);
        __m128i rl, rh;
        ProductSsse3(l, h, tl, th, mask, rl, rh);
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, _mm_xor_si128(_mm_loadu_si128(d), _mm_unpacklo_epi8(rl, rh)));
        _mm_storeu_si128(d + 1, _mm_xor_si128(_mm_loadu_si128(d + 1), _mm_unpackhi_epi8(rl, rh)));
    }
    MulAddPortable(factor, src + i, dst + i, len - i);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void MulAddAvx2(uint16_t factor, const uint8_t* src, uint8_t* dst,
                                                                   size_t len) {
    if (factor == 0)
        return;
    Products p;
    PrepareProducts(factor, p);
    __m256i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(p.lo[k])));
        th[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(p.hi[k])));
    }
    const __m256i mask = _mm256_set1_epi8(0x0F);
    // Shuffles and unpacks work within each 128-bit lane, so the lanes' words come back where they were.
    const __m256i split = _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12,
                                           14, 1, 3, 5, 7, 9, 11, 13, 15);
    size_t i = 0;
    for (; i + 64 <= len; i += 64) {
        const __m256i a = _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i)), split);
        const __m256i b =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 32)), split);
        const __m256i l = _mm256_unpacklo_epi64(a, b), h = _mm256_unpackhi_epi64(a, b);
        __m256i rl, rh;
        ProductAvx2(l, h, tl, th, mask, rl, rh);
        __m256i* d = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(d, _mm256_xor_si256(_mm256_loadu_si256(d), _mm256_unpacklo_epi8(rl, rh)));
        _mm256_storeu_si256(d + 1, _mm256_xor_si256(_mm256_loadu_si256(d + 1), _mm256_unpackhi_epi8(rl, rh)));
    }
    MulAddSsse3(factor, src + i, dst + i, len - i);
}

// The working layout, sixteen bytes at a time: a chunk's four quarters (words 0..7, 8..15, 16..23,
// 24..31) each split into low and high halves, the halves of quarters 0 and 2 side by side, then 1 and 3.
__attribute__((VECTOR_ALIGN_STACK target("ssse3"))) void ToWorkingSsse3(const uint8_t* src, uint8_t* dst, size_t len) {
    const __m128i split = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m128i* s = reinterpret_cast<const __m128i*>(src + c);
        const __m128i q0 = _mm_shuffle_epi8(_mm_loadu_si128(s), split);
        const __m128i q1 = _mm_shuffle_epi8(_mm_loadu_si128(s + 1), split);
        const __m128i q2 = _mm_shuffle_epi8(_mm_loadu_si128(s + 2), split);
        const __m128i q3 = _mm_shuffle_epi8(_mm_loadu_si128(s + 3), split);
        __m128i* d = reinterpret_cast<__m128i*>(dst + c);
        _mm_storeu_si128(d, _mm_unpacklo_epi64(q0, q2));
        _mm_storeu_si128(d + 1, _mm_unpacklo_epi64(q1, q3));
        _mm_storeu_si128(d + 2, _mm_unpackhi_epi64(q0, q2));
        _mm_storeu_si128(d + 3, _mm_unpackhi_epi64(q1, q3));
    }
}

__attribute__((VECTOR_ALIGN_STACK target("ssse3"))) void FromWorkingSsse3(const uint8_t* src, uint8_t* dst,
                                                                          size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m128i* s = reinterpret_cast<const __m128i*>(src + c);
        const __m128i l0 = _mm_loadu_si128(s), l1 = _mm_loadu_si128(s + 1);
        const __m128i h0 = _mm_loadu_si128(s + 2), h1 = _mm_loadu_si128(s + 3);
        __m128i* d = reinterpret_cast<__m128i*>(dst + c);
        _mm_storeu_si128(d, _mm_unpacklo_epi8(l0, h0));
        _mm_storeu_si128(d + 1, _mm_unpacklo_epi8(l1, h1));
        _mm_storeu_si128(d + 2, _mm_unpackhi_epi8(l0, h0));
        _mm_storeu_si128(d + 3, _mm_unpackhi_epi8(l1, h1));
    }
}

__attribute__((VECTOR_ALIGN_STACK target("ssse3"))) void MulAddWorkingSsse3(const Products& f, const uint8_t* src,
                                                                            uint8_t* dst, size_t len) {
    __m128i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(f.lo[k]));
        th[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(f.hi[k]));
    }
    const __m128i mask = _mm_set1_epi8(0x0F);
    for (size_t i = 0; i < len; i += kWorkingChunk / 2) {
        // Sixteen words: their low bytes here, their high bytes half a chunk on.
        const size_t at = i / kWorkingChunk * kWorkingChunk + i % kWorkingChunk / 2;
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
        const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at + 32));
        __m128i rl, rh;
        ProductSsse3(l, h, tl, th, mask, rl, rh);
        __m128i* dl = reinterpret_cast<__m128i*>(dst + at);
        __m128i* dh = reinterpret_cast<__m128i*>(dst + at + 32);
        _mm_storeu_si128(dl, _mm_xor_si128(_mm_loadu_si128(dl), rl));
        _mm_storeu_si128(dh, _mm_xor_si128(_mm_loadu_si128(dh), rh));
    }
}

// The same layout 32 bytes at a time: the in-lane split and 64-bit unpacking land exactly there.
__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void ToWorkingAvx2(const uint8_t* src, uint8_t* dst, size_t len) {
    const __m256i split = _mm256_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12,
                                           14, 1, 3, 5, 7, 9, 11, 13, 15);
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m256i* s = reinterpret_cast<const __m256i*>(src + c);
        const __m256i a = _mm256_shuffle_epi8(_mm256_loadu_si256(s), split);
        const __m256i b = _mm256_shuffle_epi8(_mm256_loadu_si256(s + 1), split);
        __m256i* d = reinterpret_cast<__m256i*>(dst + c);
        _mm256_storeu_si256(d, _mm256_unpacklo_epi64(a, b));
        _mm256_storeu_si256(d + 1, _mm256_unpackhi_epi64(a, b));
    }
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void FromWorkingAvx2(const uint8_t* src, uint8_t* dst, size_t len) {
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m256i* s = reinterpret_cast<const __m256i*>(src + c);
        const __m256i l = _mm256_loadu_si256(s), h = _mm256_loadu_si256(s + 1);
        __m256i* d = reinterpret_cast<__m256i*>(dst + c);
        _mm256_storeu_si256(d, _mm256_unpacklo_epi8(l, h));
        _mm256_storeu_si256(d + 1, _mm256_unpackhi_epi8(l, h));
    }
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void MulAddWorkingAvx2(const Products& f, const uint8_t* src,
                                                                          uint8_t* dst, size_t len) {
    __m256i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(f.lo[k])));
        th[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(f.hi[k])));
    }
    const __m256i mask = _mm256_set1_epi8(0x0F);
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m256i l = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c));
        const __m256i h = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + c + 32));
        __m256i rl, rh;
        ProductAvx2(l, h, tl, th, mask, rl, rh);
        __m256i* dl = reinterpret_cast<__m256i*>(dst + c);
        __m256i* dh = reinterpret_cast<__m256i*>(dst + c + 32);
        _mm256_storeu_si256(dl, _mm256_xor_si256(_mm256_loadu_si256(dl), rl));
        _mm256_storeu_si256(dh, _mm256_xor_si256(_mm256_loadu_si256(dh), rh));
    }
}

__attribute__((always_inline, target("avx2,avx512f,avx512bw"))) inline __m512i Halves(const uint8_t* lower,
                                                                                   const uint8_t* upper) {
    return _mm512_inserti64x4(
        _mm512_castsi256_si512(_mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(lower)))),
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(upper))), 1);
}

// A whole chunk in one 512-bit register, and again with its halves swapped: every 128-bit lane looks up
// its own tables, so the lower half gathers the low bytes' products and the upper half the high bytes'.
__attribute__((VECTOR_ALIGN_STACK target("avx2,avx512f,avx512bw"))) void
MulAddWorkingAvx512bw(const Products& f, const uint8_t* src, uint8_t* dst, size_t len) {
    // Nibbles 0 and 1 of the bytes where they lie, then of the bytes swapped in.
    const __m512i same0 = Halves(f.lo[0], f.hi[2]), same1 = Halves(f.lo[1], f.hi[3]);
    const __m512i crossed0 = Halves(f.lo[2], f.hi[0]), crossed1 = Halves(f.lo[3], f.hi[1]);
    const __m512i mask = _mm512_set1_epi8(0x0F);
    for (size_t c = 0; c < len; c += kWorkingChunk) {
        const __m512i x = _mm512_loadu_si512(src + c);
        const __m512i s = _mm512_shuffle_i64x2(x, x, 0x4E);
        const __m512i a = _mm512_ternarylogic_epi64(
            _mm512_shuffle_epi8(same0, _mm512_and_si512(x, mask)),
            _mm512_shuffle_epi8(same1, _mm512_and_si512(_mm512_srli_epi16(x, 4), mask)),
            _mm512_shuffle_epi8(crossed0, _mm512_and_si512(s, mask)), 0x96);
        __m512i* d = reinterpret_cast<__m512i*>(dst + c);
        _mm512_storeu_si512(
            d, _mm512_ternarylogic_epi64(_mm512_loadu_si512(d), a,
                                         _mm512_shuffle_epi8(crossed1, _mm512_and_si512(_mm512_srli_epi16(s, 4), mask)),
                                         0x96));
    }
}

} // namespace gf16
