// Checks a join makes before it writes anything: the set is whole, and an existing file is replaced
// only when the user says so.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"

// What is wrong with a discovered set of pieces (full paths, in piece order): a piece number found
// twice (PieceNumberTwice), or a gap (PieceMissing). Empty when the pieces are numbered 000 to k, each once.
std::optional<Outcome> SetProblem(const std::vector<std::string>& piecePaths);

// The join's output would overwrite one of its inputs.
Outcome OverwritesInput(const std::string& outputPath, const std::string& inputPath);

// Whether the output may take outputPath, decided before the first byte. Empty, after telling why, when
// a folder, a link that leads nowhere or a device holds the name, or the user kept what is there. Else
// whether something there is replaced: a file, or a link asked about as one and never followed.
std::optional<bool> MayTakeName(const std::string& outputPath, Messenger& messenger);

// Whether a finished output can take bareName in the current directory without replacing anything, tried
// before the first byte with an empty file under the output's .partial name that is renamed to it and
// deleted again. False, after telling why, when the name is too long for the file system there or the
// file system cannot rename without replacing. Only for a name that nothing holds now.
bool CommitsWithoutReplacing(const std::string& bareName, Messenger& messenger);

// The first input that is not a regular file (a pipe, a device, a socket), told by name and never
// opened; empty when every input is one.
bool AllRegularFiles(const std::vector<std::string>& paths, Messenger& messenger);
