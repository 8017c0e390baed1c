#include "core/cpu_state.h"

// Read with the instruction itself, which needs no compiler option.
uint64_t SavedRegisterStates() {
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (uint64_t{hi} << 32) | lo;
}
