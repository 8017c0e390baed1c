// The 128-bit carry-less multiply steps shared by the PCLMULQDQ and VPCLMULQDQ folding paths.
#pragma once

#include <emmintrin.h>
#include <smmintrin.h>
#include <wmmintrin.h>

#include <cstddef>
#include <cstdint>

#include "core/crc32.h"
#include "core/crc32_fold.h"

// Always inlined into the path that calls them, so they take that path's
// instruction set and never pass a vector register through the stack.
#define CRC32_CLMUL_STEP __attribute__((target("sse2,sse4.1,pclmul"), always_inline)) inline

namespace crc32fold {

CRC32_CLMUL_STEP __m128i Pair(const FoldPair& k) {
    return _mm_set_epi64x(static_cast<long long>(k.high), static_cast<long long>(k.low));
}

CRC32_CLMUL_STEP __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The block moved forward by the distance the constants stand for.
CRC32_CLMUL_STEP __m128i Fold(__m128i block, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, k, 0x00), _mm_clmulepi64_si128(block, k, 0x11));
}

// The register for a 128-bit remainder: remainder * x^32 mod P.
CRC32_CLMUL_STEP uint32_t Reduce(__m128i x) {
    const __m128i finish = Pair(kFinish);
    // Low half * x^96, plus the high half * x^32 (moved to bits 32..95): at most 96 terms.
    __m128i t = _mm_clmulepi64_si128(x, finish, 0x00);
    t = _mm_xor_si128(t, _mm_slli_si128(_mm_srli_si128(x, 8), 4));
    // The 32 terms in the low half (bits 32..63) * x^64: 64 terms left, in the high half.
    const __m128i u = _mm_xor_si128(t, _mm_clmulepi64_si128(t, finish, 0x10));

    // Barrett: quotient q = floor(floor(u / x^32) * mu / x^32), register = (u + q*P) mod x^32.
    const __m128i barrett = _mm_set_epi64x(static_cast<long long>(kBarrettPoly), static_cast<long long>(kBarrettMu));
    __m128i q = _mm_clmulepi64_si128(_mm_slli_epi64(u, 32), barrett, 0x01);
    q = _mm_slli_epi64(q, 32); // q in bits 96..127, the junk below it cleared
    const __m128i qp = _mm_clmulepi64_si128(q, barrett, 0x11);
    const __m128i r = _mm_xor_si128(qp, _mm_srli_epi64(u, 32));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(r, 8)));
}

// One running block the wide loop left: the remaining 16-byte blocks folded
// in, the register reduced, and the last few bytes fed bytewise.
CRC32_CLMUL_STEP uint32_t FinishBlock(__m128i x, const uint8_t* data, size_t len) {
    const __m128i by128 = Pair(kFold128);
    while (len >= 16) {
        x = _mm_xor_si128(Fold(x, by128), Load(data));
        data += 16;
        len -= 16;
    }
    return Crc32Slice16(Reduce(x), data, len);
}

} // namespace crc32fold
