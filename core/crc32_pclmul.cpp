// CRC-32 by carry-less multiplication (PCLMULQDQ) folding, chosen at run time.
#include <cpuid.h>
#include <emmintrin.h>
#include <wmmintrin.h>

#include "core/crc32.h"
#include "core/crc32_fold.h"

#if defined(__i386__)
// The 32-bit Windows stack is only 4-byte aligned; spilled SSE registers need 16.
#define CRC32_SIMD __attribute__((target("sse2,sse4.1,pclmul"), force_align_arg_pointer))
#else
#define CRC32_SIMD __attribute__((target("sse2,sse4.1,pclmul")))
#endif

bool Crc32HavePclmul() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    // The folding code is compiled for SSE4.1 as well, so the compiler may use it.
    return (edx & bit_SSE2) && (ecx & bit_SSE4_1) && (ecx & bit_PCLMUL);
}

namespace {

using namespace crc32fold;

CRC32_SIMD inline __m128i Pair(const FoldPair& k) {
    return _mm_set_epi64x(static_cast<long long>(k.high), static_cast<long long>(k.low));
}

CRC32_SIMD inline __m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The block moved forward by the distance the constants stand for.
CRC32_SIMD inline __m128i Fold(__m128i block, __m128i k) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, k, 0x00), _mm_clmulepi64_si128(block, k, 0x11));
}

// The register for a 128-bit remainder: remainder * x^32 mod P.
CRC32_SIMD inline uint32_t Reduce(__m128i x) {
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

} // namespace

CRC32_SIMD uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data, size_t len) {
    if (len < 64)
        return Crc32Slice16(reg, data, len);

    // Four running blocks; the register enters as the first 32 bits of the data.
    __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = Load(data + 16);
    __m128i x2 = Load(data + 32);
    __m128i x3 = Load(data + 48);
    data += 64;
    len -= 64;

    const __m128i by512 = Pair(kFold512);
    while (len >= 64) {
        x0 = _mm_xor_si128(Fold(x0, by512), Load(data));
        x1 = _mm_xor_si128(Fold(x1, by512), Load(data + 16));
        x2 = _mm_xor_si128(Fold(x2, by512), Load(data + 32));
        x3 = _mm_xor_si128(Fold(x3, by512), Load(data + 48));
        data += 64;
        len -= 64;
    }

    const __m128i by128 = Pair(kFold128);
    __m128i x = _mm_xor_si128(Fold(x0, by128), x1);
    x = _mm_xor_si128(Fold(x, by128), x2);
    x = _mm_xor_si128(Fold(x, by128), x3);
    while (len >= 16) {
        x = _mm_xor_si128(Fold(x, by128), Load(data));
        data += 16;
        len -= 16;
    }
    return Crc32Slice16(Reduce(x), data, len);
}
