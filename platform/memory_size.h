// How much memory the machine has: what the system can keep of the files just written.
#pragma once

#include <cstdint>

// The machine's physical memory in bytes; 0 where the system does not say.
uint64_t PhysicalMemoryBytes();
