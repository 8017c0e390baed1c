// The files of a set read once each, side by side: a group of them per core, read a block of each in turn,
// their MD5s in the lanes of one vector register and their CRC-32s beside. Whole-file MD5s do not compose,
// but each file is a stream of its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/md5_core.h"
#include "core/progress_meter.h"
#include "recovery/recovery_set.h"

namespace par2 {

// What one read of a file tells.
struct FileDigest {
    uint64_t length = 0;
    Md5Digest md5{};
    uint32_t crcRegister = 0xFFFFFFFF; // of the whole file, not inverted
};

// A part of a file: `length` bytes from `offset`, or up to the file's end, whichever comes first.
struct FileSpan {
    std::string path;
    uint64_t offset = 0;
    uint64_t length = UINT64_MAX;
    uint64_t padTo = 0; // the digest counts zeros after the bytes up to this many, as a slice's checksums do
};

// Each span read once, as HashFiles reads files; a span's digest covers the bytes the file had of it.
std::vector<FileDigest> HashSpans(const std::vector<FileSpan>& spans, ProgressMeter* meter);

// Each file of `paths` read to its end. The bytes read go to `meter` (from this thread only; null counts
// nothing). Throws FileException for the first file that cannot be read, JobStopped when the meter says stop.
std::vector<FileDigest> HashFiles(const std::vector<std::string>& paths, ProgressMeter* meter);

// The first of the files written whose length or MD5 is not what `recorded` says, or paths.size().
size_t FirstMismatch(const std::vector<std::string>& paths, const std::vector<const SetFile*>& recorded);

} // namespace par2
