// Steps both joins share: the copy of one input and the report of a failed run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/messages.h"
#include "platform/file.h"

// Large blocks keep the copy at disk speed; one buffer serves the whole run.
constexpr size_t kCopyBlockSize = 1024 * 1024;

// Copies from the input's current position to its end. A failed read or write throws FileException.
void CopyToEnd(File& input, File& output, std::vector<uint8_t>& buffer);

// "Error on Subroutine: CatFiles\n" + description, with the stop icon.
void ReportCatError(Messenger& messenger, const std::string& description);

// Description of a refused output that would overwrite an input of the join.
std::string OverwriteDescription(const std::string& outputPath, const std::string& input);
