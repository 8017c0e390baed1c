// Finding the further pieces of a set in the folder of catstub's own file.
#pragma once

#include "core/piece_name.h"
#include "core/piece_tally.h"

// Piece n's name as the directory holds it (its letter case may differ from
// "_Split#nnn"); empty for a piece that was not found. Piece 0 is never listed:
// its data comes from "_Split#000.exe". The tally keeps the numbers found, as Fendrik's joins keep them.
struct PieceSet {
    char names[kMaxPieces][11];
    PieceTally tally;
};

enum class SearchOutcome {
    Ok,
    Failed,    // the directory search itself failed; error holds the OS code
    FoundTwice // two names for one number, possible on a case-sensitive file system
};

struct SearchResult {
    SearchOutcome outcome = SearchOutcome::Ok;
    unsigned long error = 0;
    char first[11] = {}; // for FoundTwice: the two names
    char second[11] = {};
};

// Fills pieces (which must start empty) with every name made of "_Split#"
// and three digits other than 000. Stray files such as "_Split#notes.txt" or
// a plain "_Split#000" are no part of the set.
// folder ends in '\\'; the names found are the names alone.
SearchResult FindPieces(const char* folder, PieceSet* pieces);

// The lowest number below the highest piece found for which no piece was found (piece 0 is
// catstub's own file), or -1 when the set has no gap.
int FirstMissingPiece(const PieceSet& pieces);
