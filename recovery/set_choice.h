// Which recovery set belongs to the pieces in a folder: the one whose file descriptions match pieces
// present (their length and the MD5 of their first 16 KiB), never the one that merely lists more files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "recovery/recovery_set.h"

namespace par2 {

// An entry of the folder named like a piece by the one piece-name rule, letter case as found.
struct PresentPiece {
    std::string path;
    uint64_t size = 0;
    int number = -1;
    bool selfCatenating = false;
};

struct PiecesOnDisk {
    std::vector<PresentPiece> regular;
    std::string irregular;    // the first folder, pipe, device or socket named like a piece; never opened
    std::string duplicate[2]; // the first two regular files of one piece number, in two letter cases
};

// The one search of a folder ('\\'-separated) for entries named like pieces. Opens nothing.
PiecesOnDisk FindPiecesOnDisk(const std::string& folder);

// The present piece that carries a set file's name by the piece-name rule (number and form, any letter
// case); null when none does or the name is no piece's.
const PresentPiece* PieceForName(const std::vector<PresentPiece>& pieces, const std::string& name);

enum class ChoiceOutcome {
    Chosen,
    NoMatch, // no set describes any piece present
    TwoSets, // two sets describe different pieces present, neither all that the other does
};

struct SetChoice {
    ChoiceOutcome outcome = ChoiceOutcome::NoMatch;
    size_t chosen = 0; // Chosen: the set taken; TwoSets: the first of the two
    size_t other = 0;  // TwoSets: the second
};

// Of the sets a scan found, the one whose descriptions match the most pieces present, when every other
// set's matches are among its own. A piece matches a description by its length and the MD5 of its first
// 16 KiB, whatever it is called: a stale set of an earlier split matches nothing. With no piece present, a
// lone set is taken. Throws FileException.
SetChoice ChooseSet(const std::vector<RecoverySet>& sets, const std::vector<PresentPiece>& pieces);

} // namespace par2
