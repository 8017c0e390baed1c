// The CRC-32 of a whole file as a long job: progress, stop, and a result that
// says which of the three ways it ended.
#pragma once

#include <cstdint>
#include <string>

#include "core/job_progress.h"

constexpr const char kCrcStoppedText[] = "CRC32 calculation cancelled.";

enum class CrcJobEnd { Done, Failed, Stopped };

struct CrcJobResult {
    CrcJobEnd end = CrcJobEnd::Failed;
    uint32_t crc = 0;
    std::string failure; // the file error's description when Failed
};

CrcJobResult MeasureFileCrc(const std::string& path, const ProgressCallback& onProgress);
