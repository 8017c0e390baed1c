// The field's multiply-and-add with SSSE3's byte shuffles: sixteen words at a time, their low and high
// bytes packed apart, each nibble looked up in a table of 16 products. Chosen at run time: the i686
// catstub must start on processors without it.
#include "core/gf16_field.h"

#if defined(__i386__) || defined(__x86_64__)
#include <tmmintrin.h>

namespace gf16 {
namespace field {

__attribute__((target("ssse3"))) size_t MulAddSsse3(uint16_t factor, const uint8_t* src, uint8_t* dst, size_t len) {
    // Products of the factor by each nibble of a word (nibble k: bits 4k to 4k + 3), low and high bytes apart.
    alignas(16) uint8_t lo[4][16], hi[4][16];
    for (int k = 0; k < 4; ++k)
        for (int n = 0; n < 16; ++n) {
            const uint16_t p = Mul(factor, static_cast<uint16_t>(n << (4 * k)));
            lo[k][n] = static_cast<uint8_t>(p);
            hi[k][n] = static_cast<uint8_t>(p >> 8);
        }
    __m128i tlo[4], thi[4];
    for (int k = 0; k < 4; ++k) {
        tlo[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(lo[k]));
        thi[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(hi[k]));
    }
    const __m128i lowByte = _mm_set1_epi16(0x00FF), nibble = _mm_set1_epi8(0x0F);
    size_t i = 0;
    for (; i + 32 <= len; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 16));
        const __m128i l = _mm_packus_epi16(_mm_and_si128(a, lowByte), _mm_and_si128(b, lowByte));
        const __m128i h = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        const __m128i n0 = _mm_and_si128(l, nibble), n1 = _mm_and_si128(_mm_srli_epi16(l, 4), nibble);
        const __m128i n2 = _mm_and_si128(h, nibble), n3 = _mm_and_si128(_mm_srli_epi16(h, 4), nibble);
        const __m128i rl = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(tlo[0], n0), _mm_shuffle_epi8(tlo[1], n1)),
                                         _mm_xor_si128(_mm_shuffle_epi8(tlo[2], n2), _mm_shuffle_epi8(tlo[3], n3)));
        const __m128i rh = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(thi[0], n0), _mm_shuffle_epi8(thi[1], n1)),
                                         _mm_xor_si128(_mm_shuffle_epi8(thi[2], n2), _mm_shuffle_epi8(thi[3], n3)));
        __m128i* d = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(d, _mm_xor_si128(_mm_loadu_si128(d), _mm_unpacklo_epi8(rl, rh)));
        _mm_storeu_si128(d + 1, _mm_xor_si128(_mm_loadu_si128(d + 1), _mm_unpackhi_epi8(rl, rh)));
    }
    return i;
}

} // namespace field
} // namespace gf16

#endif
