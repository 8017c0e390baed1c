#include "core/cpu_state.h"

#include <cpuid.h>

namespace {

// SSE and the upper halves of YMM; then the mask registers and both halves of the 512-bit state.
constexpr uint64_t kYmmStates = (1u << 1) | (1u << 2);
constexpr uint64_t kZmmStates = kYmmStates | (1u << 5) | (1u << 6) | (1u << 7);

struct Features {
    bool sse2 = false, ssse3 = false, pclmul = false, avx2 = false, avx512bw = false, avx512vl = false, vpclmul = false,
         gfni = false;
};

Features Ask() {
    Features f;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return f;
    f.sse2 = (edx & bit_SSE2) != 0;
    f.ssse3 = f.sse2 && (ecx & bit_SSSE3);
    f.pclmul = f.sse2 && (ecx & bit_SSE4_1) && (ecx & bit_PCLMUL);
    const bool avx = (ecx & bit_OSXSAVE) && (ecx & bit_AVX);
    if (!avx || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return f;
    const uint64_t saved = SavedRegisterStates();
    f.avx2 = (ebx & bit_AVX2) && (saved & kYmmStates) == kYmmStates;
    const bool avx512 = f.avx2 && (ebx & bit_AVX512F) && (saved & kZmmStates) == kZmmStates;
    f.avx512bw = avx512 && (ebx & bit_AVX512BW);
    f.avx512vl = avx512 && (ebx & bit_AVX512VL);
    f.vpclmul = avx512 && f.pclmul && (ecx & bit_VPCLMULQDQ);
    f.gfni = f.avx2 && (ecx & bit_GFNI);
    return f;
}

const Features& Cpu() {
    static const Features features = Ask();
    return features;
}

} // namespace

// Read with the instruction itself, which needs no compiler option.
uint64_t SavedRegisterStates() {
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (uint64_t{hi} << 32) | lo;
}

bool HasSse2() {
    return Cpu().sse2;
}

bool HasSsse3() {
    return Cpu().ssse3;
}

bool HasPclmul() {
    return Cpu().pclmul;
}

bool HasAvx2() {
    return Cpu().avx2;
}

bool HasAvx512bw() {
    return Cpu().avx512bw;
}

bool HasAvx512vl() {
    return Cpu().avx512vl;
}

bool HasVpclmul() {
    return Cpu().vpclmul;
}

bool HasGfni() {
    return Cpu().gfni;
}

bool HasAvx512Gfni() {
    return Cpu().avx512bw && Cpu().gfni;
}
