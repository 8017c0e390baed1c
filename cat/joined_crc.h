// The CRC-32 of data spread over files, read without writing anything: what a
// join would write, checked before or instead of joining.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cat/set_survey.h"
#include "core/crc32_job.h"
#include "core/job_progress.h"

struct DataPart {
    std::string path;
    uint64_t offset = 0; // the part's data starts here and runs to the end of the file
};

// Reads the parts in order; bytes is the size the joined file would have. Stopped when progress asked to
// stop, Failed when an open or a read failed. total is only passed on to progress.
CrcJobResult CrcOfParts(const std::vector<DataPart>& parts, uint64_t total, const ProgressCallback& progress = {});

// The CRC-32 of the data a join of the surveyed pieces would write: header and catstub image left out.
CrcJobResult CrcOfJoinedData(const SetSurvey& set, const ProgressCallback& progress = {});
