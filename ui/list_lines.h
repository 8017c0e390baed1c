// The lines of the window's file lists: a file's name part, a tab, and its size.
#pragma once

#include <cstdint>
#include <string>

// Name part + "\t " + size + " bytes": a piece of the split list or of a discovered set.
std::string PieceLine(const std::string& path, uint64_t size);
// Name part + "\t" + size + " bytes" for a file of an explicit selection; the size is left out when
// the file's status cannot be read.
std::string SelectionLine(const std::string& path);
