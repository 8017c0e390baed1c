// The CRC-32 of data spread over files, read without writing anything: what a
// join would write, checked before or instead of joining.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cat/set_survey.h"
#include "core/job_progress.h"

struct DataPart {
    std::string path;
    uint64_t offset = 0; // the part's data starts here and runs to the end of the file
};

struct JoinedCrc {
    uint32_t crc = 0;
    uint64_t bytes = 0; // bytes read, the size the joined file would have
};

// Reads the parts in order. Empty when progress asked to stop; a failed open or read throws FileException.
// total is only passed on to progress.
std::optional<JoinedCrc> CrcOfParts(const std::vector<DataPart>& parts, uint64_t total,
                                    const ProgressCallback& progress = {});

// The CRC-32 of the data a join of the surveyed pieces would write: header and catstub image left out.
std::optional<JoinedCrc> CrcOfJoinedData(const SetSurvey& set, const ProgressCallback& progress = {});
