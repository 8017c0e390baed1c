// Moving bytes from a piece into the rejoined file, with every failure kept.
#pragma once

#include <cstdint>

#include "core/crc32.h"
#include "core/slice_check.h"
#include "platform/read_handle.h"
#include "stub/output_file.h"

enum class CopyFailure { None, Read, Write };

struct CopyResult {
    CopyFailure failure = CopyFailure::None;
    unsigned long error = 0; // the OS code of the failed read or write
};

// Reads until len bytes are in or the file ends; false on a failed read.
bool ReadUpTo(ReadHandle& from, uint8_t* buffer, uint32_t len, uint32_t* got);

// Copies what is left of from into to, a block at a time, feeding crc and check
// with every byte copied. A failed read is a failure, never taken for the end of the file.
CopyResult CopyRest(ReadHandle& from, OutputFile& to, uint8_t* block, uint32_t blockSize, Crc32& crc,
                    SliceCheck& check);
