// What the operating system saves of the processor's registers on a thread switch (XCR0): a wide
// vector path is of no use, even where the processor has it, when the system would lose its registers.
#pragma once

#include <cstdint>

// Only where CPUID reports OSXSAVE: without it the instruction itself is invalid.
uint64_t SavedRegisterStates();
