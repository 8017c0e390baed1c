// CRC-32 by carry-less multiplication folding 512 bits wide (VPCLMULQDQ with AVX-512), chosen at run time.
#include <immintrin.h>

#include "core/cpu_state.h"
#include "core/crc32_clmul.h"

#define CRC32_AVX512_TARGET target("sse2,sse4.1,pclmul,avx,avx2,avx512f,vpclmulqdq")

namespace {

using namespace crc32fold;

#define CRC32_WIDE_STEP __attribute__((CRC32_AVX512_TARGET, always_inline)) inline

// Four 512-bit registers of four blocks each: sixteen independent chains.
constexpr size_t kStride = 4 * 64;

// The folding outruns the processor's own prefetcher on large buffers; asking
// for the cache lines this far ahead keeps memory busy (measured best among
// 2, 4, 8 and 16 KiB). A prefetch past the end of the data never faults.
constexpr uintptr_t kPrefetchDistance = 4096;

CRC32_WIDE_STEP void PrefetchStride(const uint8_t* data) {
    const uintptr_t ahead = reinterpret_cast<uintptr_t>(data) + kPrefetchDistance;
    for (uintptr_t line = 0; line < kStride; line += 64)
        _mm_prefetch(reinterpret_cast<const char*>(ahead + line), _MM_HINT_T0);
}

CRC32_WIDE_STEP __m512i Load512(const uint8_t* p) {
    return _mm512_loadu_si512(p);
}

// The same pair of constants for each of the four blocks of a register.
CRC32_WIDE_STEP __m512i Pair512(const FoldPair& k) {
    const auto low = static_cast<long long>(k.low), high = static_cast<long long>(k.high);
    return _mm512_set_epi64(high, low, high, low, high, low, high, low);
}

// Block n (0 = lowest address) of a register. A vector shuffle rather than
// the extract intrinsic, whose placeholder value GCC 12 warns about.
template <int n> CRC32_WIDE_STEP __m128i BlockOf(__m512i x) {
    return __builtin_shufflevector(x, x, 2 * n, 2 * n + 1);
}

// Every block of `x` moved forward and `add` added: three-way exclusive or in one step.
CRC32_WIDE_STEP __m512i FoldWith(__m512i x, __m512i k, __m512i add) {
    return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(x, k, 0x00), _mm512_clmulepi64_epi128(x, k, 0x11), add,
                                     0x96);
}

} // namespace

__attribute__((VECTOR_ALIGN_STACK CRC32_AVX512_TARGET)) uint32_t Crc32Vpclmul(uint32_t reg, const uint8_t* data,
                                                                              size_t len) {
    if (len < kStride)
        return Crc32Pclmul(reg, data, len);

    // The register enters as the first 32 bits of the data.
    __m512i x0 = _mm512_xor_si512(Load512(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(reg))));
    __m512i x1 = Load512(data + 64);
    __m512i x2 = Load512(data + 128);
    __m512i x3 = Load512(data + 192);
    data += kStride;
    len -= kStride;

    const __m512i byStride = Pair512(kFold2048);
    while (len >= kStride) {
        PrefetchStride(data);
        x0 = FoldWith(x0, byStride, Load512(data));
        x1 = FoldWith(x1, byStride, Load512(data + 64));
        x2 = FoldWith(x2, byStride, Load512(data + 128));
        x3 = FoldWith(x3, byStride, Load512(data + 192));
        data += kStride;
        len -= kStride;
    }

    // Each register moved onto the next and added, then what is left 64 bytes at a time.
    const __m512i by512 = Pair512(kFold512);
    __m512i x = FoldWith(x0, by512, x1);
    x = FoldWith(x, by512, x2);
    x = FoldWith(x, by512, x3);
    while (len >= 64) {
        x = FoldWith(x, by512, Load512(data));
        data += 64;
        len -= 64;
    }

    // The four blocks of the register moved onto its last one.
    __m128i last = BlockOf<3>(x);
    last = _mm_xor_si128(last, Fold(BlockOf<0>(x), Pair(kFold384)));
    last = _mm_xor_si128(last, Fold(BlockOf<1>(x), Pair(kFold256)));
    last = _mm_xor_si128(last, Fold(BlockOf<2>(x), Pair(kFold128)));
    return FinishBlock(last, data, len);
}
