// What the split list shows: the "_Split#*" files beside the large file.
#pragma once

#include <string>
#include <vector>

#include "platform/find_files.h"

// Every "_Split#*" entry of the large file's folder (the current directory for a bare name), with its
// full 64-bit size, in the search's order.
std::vector<FoundFile> PiecesBeside(const std::string& largeFile);
