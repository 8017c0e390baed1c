// What the vector paths may use: the processor's instructions, and what the operating system saves of its
// registers on a thread switch (XCR0), since a wide path is of no use where the system would lose its
// registers. Every path asks here; the processor is asked once.
#pragma once

#include <cstdint>

// Only where CPUID reports OSXSAVE: without it the instruction itself is invalid.
uint64_t SavedRegisterStates();

bool HasSse2();
bool HasSsse3();
// Carry-less multiplication with SSE4.1 (the CRC-32 folding is compiled for both).
bool HasPclmul();
bool HasAvx2();
// AVX-512 with byte and word operations; carry-less multiplication on 512-bit registers (with AVX2 and
// PCLMUL); GFNI's affine byte transforms on 256-bit registers, and on 512-bit.
bool HasAvx512bw();
// AVX-512's instructions on 256-bit registers.
bool HasAvx512vl();
bool HasVpclmul();
bool HasGfni();
bool HasAvx512Gfni();

// i686 keeps the stack only 4-byte aligned (Windows): a vector path's entry realigns its frame for the
// vectors it spills. Goes first in the path's __attribute__ list.
#if defined(__i386__)
#define VECTOR_ALIGN_STACK force_align_arg_pointer,
#else
#define VECTOR_ALIGN_STACK
#endif
