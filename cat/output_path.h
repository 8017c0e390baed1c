// Where a join's output lands, and whether that place is one of the join's inputs.
#pragma once

#include <string>
#include <vector>

// The full path of a bare name created in the current directory: current directory + '\\' + name.
std::string OutputPathFor(const std::string& bareName);

// A path made full against the current directory, with '\\' between its parts and "." and ".."
// resolved, so that two spellings of one place compare equal.
std::string FullPathOf(const std::string& path);

// True when both paths name the same place, letter case ignored as Windows does.
bool SamePlace(const std::string& a, const std::string& b);

// The first input that the output would overwrite, or nullptr.
const std::string* InputAt(const std::string& outputPath, const std::vector<std::string>& inputs);
