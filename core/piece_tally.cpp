// The tally of a set's pieces by number.
#include "core/piece_tally.h"

int PieceTally::Add(int number, int entry) {
    if (number < 0 || number >= kMaxPieces)
        return -1;
    if (entries_[number] != 0)
        return entries_[number] - 1;
    entries_[number] = static_cast<int16_t>(entry + 1);
    if (number > highest_)
        highest_ = number;
    return -1;
}

int PieceTally::NextMissing(int from) const {
    for (int n = from < 0 ? 0 : from; n < highest_; ++n)
        if (entries_[n] == 0)
            return n;
    return -1;
}
