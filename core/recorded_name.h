// The piece header's original name as the name to create. Sets made on older
// systems record it in the ANSI code page of the machine that split them, sets
// made under the UTF-8 code page in UTF-8. Allocation-free, so that catstub shares it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/piece_header.h"

// Room for the longest plain name (255 UTF-16 units, at most 3 UTF-8 bytes
// each, or 2 bytes each in a double-byte code page) and its zero.
constexpr size_t kRecordedNameCapacity = 1024;

struct RecordedNameBuffers {
    char utf8[kRecordedNameCapacity];
    char forFiles[kRecordedNameCapacity];
};

// ReadPieceHeader, with the name made what the file functions take: a name in
// ASCII is used as it is (every ASCII set reads as before); a name that is
// valid UTF-8 is taken as UTF-8, any other as the system's ANSI code page. The
// plain-name rules are checked on its UTF-8 form, where no byte of a double-byte
// character can pass for a '\\'. On Ok, out->name points into buffers->forFiles;
// UnsafeName also when the name cannot be converted or has no form the file
// functions take (out->name then holds the recorded bytes or their UTF-8 form).
HeaderStatus ReadPieceHeaderForFiles(const uint8_t* window, size_t len, PieceHeader* out, RecordedNameBuffers* buffers);
