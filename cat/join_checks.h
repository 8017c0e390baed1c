// Checks a join makes before it writes anything: the set is whole, and an existing file is replaced
// only when the user says so.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"

// What is wrong with a discovered set of pieces (full paths, in piece order): a piece number found
// twice ("Two split files carry the same number: ..."), or a gap ("_Split#004 is missing"). Empty
// when the pieces are numbered 000 to k, each once.
std::optional<std::string> SetProblem(const std::vector<std::string>& piecePaths);

// True when nothing is at outputPath, or the user answered Yes to replacing the file there.
bool MayReplace(const std::string& outputPath, Messenger& messenger);
