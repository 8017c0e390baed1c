// CRC-32 by carry-less multiplication (PCLMULQDQ) folding, 128 bits wide, chosen at run time.
#include "core/cpu_state.h"
#include "core/crc32_clmul.h"

namespace {

using namespace crc32fold;

// Eight running blocks: each multiply waits for the one before it in the same
// block, so eight independent chains keep the multiplier busy.
constexpr size_t kStride = 8 * 16;

CRC32_CLMUL_STEP __m128i FoldIn(__m128i block, __m128i k, const uint8_t* data) {
    return _mm_xor_si128(Fold(block, k), Load(data));
}

} // namespace

__attribute__((VECTOR_ALIGN_STACK target("sse2,sse4.1,pclmul"))) uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data,
                                                                                      size_t len) {
    if (len < kStride)
        return Crc32Slice16(reg, data, len);

    // The register enters as the first 32 bits of the data.
    __m128i x0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x1 = Load(data + 16);
    __m128i x2 = Load(data + 32);
    __m128i x3 = Load(data + 48);
    __m128i x4 = Load(data + 64);
    __m128i x5 = Load(data + 80);
    __m128i x6 = Load(data + 96);
    __m128i x7 = Load(data + 112);
    data += kStride;
    len -= kStride;

    const __m128i byStride = Pair(kFold1024);
    while (len >= kStride) {
        x0 = FoldIn(x0, byStride, data);
        x1 = FoldIn(x1, byStride, data + 16);
        x2 = FoldIn(x2, byStride, data + 32);
        x3 = FoldIn(x3, byStride, data + 48);
        x4 = FoldIn(x4, byStride, data + 64);
        x5 = FoldIn(x5, byStride, data + 80);
        x6 = FoldIn(x6, byStride, data + 96);
        x7 = FoldIn(x7, byStride, data + 112);
        data += kStride;
        len -= kStride;
    }

    // Each block moved onto the next and added: one block for the whole run.
    const __m128i by128 = Pair(kFold128);
    __m128i x = _mm_xor_si128(Fold(x0, by128), x1);
    x = _mm_xor_si128(Fold(x, by128), x2);
    x = _mm_xor_si128(Fold(x, by128), x3);
    x = _mm_xor_si128(Fold(x, by128), x4);
    x = _mm_xor_si128(Fold(x, by128), x5);
    x = _mm_xor_si128(Fold(x, by128), x6);
    x = _mm_xor_si128(Fold(x, by128), x7);
    return FinishBlock(x, data, len);
}
