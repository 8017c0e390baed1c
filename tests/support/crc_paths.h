// The CRC-32 paths the program may take, with what the processor needs for
// each: the native and the Windows tests run every one against the reference.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cpu_state.h"
#include "core/crc32.h"

struct CrcPath {
    const char* name;
    uint32_t (*run)(uint32_t, const uint8_t*, size_t);
    bool (*available)();
};

inline bool AlwaysAvailable() {
    return true;
}

// The folding paths and the dispatch that picks among them.
inline const CrcPath kFoldingPaths[] = {
    {"pclmul", Crc32Pclmul, HasPclmul},
    {"vpclmul", Crc32Vpclmul, HasVpclmul},
    {"fast", Crc32Fast, AlwaysAvailable},
};
