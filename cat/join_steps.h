// Steps both joins share: the copy of one input and the report of a failed run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/messages.h"
#include "core/progress_meter.h"
#include "platform/file.h"

// Large blocks keep the copy at disk speed; one buffer serves the whole run.
constexpr size_t kCopyBlockSize = 1024 * 1024;

// Copies from the input's current position to its end, reading ahead while the last block is
// written, and feeds what it copies to crc when there is one. A failed read or write throws
// FileException; a stop request throws JobStopped.
void CopyToEnd(File& input, File& output, ProgressMeter& meter, Crc32* crc = nullptr);

// Bytes from the current position of each input to its end: a join's progress total.
uint64_t BytesToJoin(const std::vector<std::string>& paths, uint64_t skippedInFirst);

// "\nThe unfinished file <full path> was deleted." (or could not be), empty when none was created.
std::string UnfinishedOutputText(const std::string& partialPath);

// "Error on Subroutine: CatFiles\n" + description, with the stop icon.
void ReportCatError(Messenger& messenger, const std::string& description);

// Description of a refused output that would overwrite an input of the join.
std::string OverwriteDescription(const std::string& outputPath, const std::string& input);
