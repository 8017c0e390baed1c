// Finding the pieces of a split set from its first piece.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"

// A plain piece by the one piece-name rule (ParsePieceName): the name part is "_Split#" in any letter case
// and exactly three digits. "_Split#000.exe", "_Split#bak001" and names with two or four digits fail.
bool IsAcceptedPiecePath(const std::string& fullPath);

struct DiscoveredPiece {
    std::string path;
    uint64_t size = 0;
};

// Checks the first piece ("_Split#000" in any letter case, then CheckFile with messages, then
// FirstPieceNotAFile) and searches its folder for "_Split#*". Empty on failure, after the messages; else the
// accepted pieces in ascending order of their names, letter case ignored, whatever order the file
// system lists them in.
std::optional<std::vector<DiscoveredPiece>> DiscoverPieces(const std::string& firstPiecePath, Messenger& messenger);
