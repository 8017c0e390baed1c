// The one search of a folder for the pieces of a set, and their tally: what every reader of a set
// (survey, discovery) starts from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/piece_name.h"
#include "core/piece_tally.h"

struct FoundPiece {
    std::string path;
    uint64_t size = 0;
    PieceNameParts parts;
    bool irregular = false; // a folder, pipe, device or socket: named like a piece, never to be opened
};

struct PieceSearch {
    std::vector<FoundPiece> found; // every entry named like a piece, in the order the folder lists them
    PieceTally numbered;           // "_Split#000" to "_Split#999" by number, as indexes into found
    int selfCatenatingFirst = -1;  // "_Split#000.exe", an index into found
    int irregular = -1;            // the first irregular entry
    int duplicate[2] = {-1, -1};   // the first two entries of one number, in two letter cases

    bool HasDuplicate() const { return duplicate[0] >= 0; }
};

// Searches the folder of piecePath (the current directory for a bare name) for "_Split#*" once.
PieceSearch SearchPieces(const std::string& piecePath);
