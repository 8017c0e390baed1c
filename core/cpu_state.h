// What the operating system saves of the processor's registers on a thread switch (XCR0): a wide
// vector path is of no use, even where the processor has it, when the system would lose its registers.
#pragma once

#include <cstdint>

// Only where CPUID reports OSXSAVE: without it the instruction itself is invalid.
uint64_t SavedRegisterStates();

// What the vector paths need, of the processor and of the system together.
bool HasSse2();
bool HasSsse3();
bool HasAvx2();
// AVX-512 with byte and word operations; GFNI's affine byte transforms on 256-bit registers, and on 512-bit.
bool HasAvx512bw();
bool HasGfni();
bool HasAvx512Gfni();

// i686 Windows keeps the stack 4-byte aligned only: a vector path's entry realigns its frame for the
// vectors it spills. Goes first in the path's __attribute__ list.
#if defined(_WIN32) && defined(__i386__)
#define VECTOR_ALIGN_STACK force_align_arg_pointer,
#else
#define VECTOR_ALIGN_STACK
#endif
