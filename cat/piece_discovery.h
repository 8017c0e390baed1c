// Finding the pieces of a split set from its first piece, and the list-box lines that show them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"

// The digit rule: the path ends in three digits and none of the seven characters before them is a
// digit; paths shorter than 10 bytes never pass. "_Split#000.exe" and names with two or four digits fail.
bool IsAcceptedPiecePath(const std::string& fullPath);

struct DiscoveredPiece {
    std::string path;
    uint64_t size = 0;
};

// Checks the first piece (exact name "_Split#000", then CheckFile with messages, then "Not a normal
// file") and searches its folder for "_Split#*". Empty on failure, after the messages; else the
// accepted pieces in ascending order of their names, letter case ignored, whatever order the file
// system lists them in.
std::optional<std::vector<DiscoveredPiece>> DiscoverPieces(const std::string& firstPiecePath, Messenger& messenger);

// Name part + "\t " + size + " bytes": a discovered piece or a rejoined file.
std::string PieceLine(const std::string& path, uint64_t size);
// Name part + "\t" + size + " bytes" for a file of an explicit selection; the size is left out when
// the file's status cannot be read.
std::string SelectionLine(const std::string& path);
