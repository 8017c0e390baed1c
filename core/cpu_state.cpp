#include "core/cpu_state.h"

#include <cpuid.h>

// Read with the instruction itself, which needs no compiler option.
uint64_t SavedRegisterStates() {
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (uint64_t{hi} << 32) | lo;
}

bool HasSse2() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2);
}

bool HasSsse3() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) && (ecx & bit_SSSE3);
}

bool HasAvx2() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_OSXSAVE) || !(ecx & bit_AVX))
        return false;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) || !(ebx & bit_AVX2))
        return false;
    constexpr uint64_t kYmmStates = (1u << 1) | (1u << 2); // SSE and the upper halves of YMM
    return (SavedRegisterStates() & kYmmStates) == kYmmStates;
}

namespace {
unsigned Leaf7(int reg) {
    unsigned r[4] = {};
    if (!__get_cpuid_count(7, 0, &r[0], &r[1], &r[2], &r[3]))
        return 0;
    return r[reg];
}
} // namespace

bool HasAvx512bw() {
    // The mask registers and both halves of the 512-bit state, besides what AVX2 needs.
    constexpr uint64_t kZmmStates = (1u << 5) | (1u << 6) | (1u << 7);
    return HasAvx2() && (Leaf7(1) & bit_AVX512F) && (Leaf7(1) & bit_AVX512BW) &&
           (SavedRegisterStates() & kZmmStates) == kZmmStates;
}

bool HasGfni() {
    return HasAvx2() && (Leaf7(2) & bit_GFNI);
}

bool HasAvx512Gfni() {
    return HasAvx512bw() && HasGfni();
}
