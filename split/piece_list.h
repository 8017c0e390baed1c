// The lines of the split list: the "_Split#*" files beside the large file.
#pragma once

#include <string>
#include <vector>

// Every "_Split#*" entry of the large file's folder (the current directory for
// a bare name), "name\t %llu bytes" with the full 64-bit size, in the search's order.
std::vector<std::string> ListPieceLines(const std::string& largeFile);
