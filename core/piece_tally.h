// The pieces found of a set, by number: which numbers are there, which are found twice, which are
// missing. Allocation-free, so that catstub can keep its set the same way.
#pragma once

#include <cstdint>

#include "core/piece_name.h"

class PieceTally {
public:
    // Records entry (the caller's index of what it found) as piece number. Returns the entry recorded
    // before for that number, or -1 when the number is new (or no piece's).
    int Add(int number, int entry);
    // The entry recorded for number, or -1.
    int EntryOf(int number) const { return number >= 0 && number < kMaxPieces ? entries_[number] - 1 : -1; }
    // The highest number recorded, or -1.
    int Highest() const { return highest_; }
    // The lowest number from `from` below Highest() with no entry, or -1 when there is none.
    int NextMissing(int from = 0) const;

private:
    // entry + 1; zero for none, so that a tally needs no constructor.
    int16_t entries_[kMaxPieces] = {};
    int highest_ = -1;
};
