// The CRC-32 of a whole file as a long job: progress, stop, and a result that
// says which of the three ways it ended. Every CRC-32 measured over files is told this way.
#pragma once

#include <cstdint>
#include <string>

#include "core/job_progress.h"

constexpr const char kCrcStoppedText[] = "CRC32 calculation cancelled.";

enum class CrcJobEnd { Done, Failed, Stopped };

struct CrcJobResult {
    CrcJobEnd end = CrcJobEnd::Failed;
    uint32_t crc = 0;
    uint64_t bytes = 0;  // bytes read when Done
    std::string failure; // the file error's description when Failed
};

CrcJobResult MeasureFileCrc(const std::string& path, const ProgressCallback& onProgress);
