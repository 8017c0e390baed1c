#include "split/chunk_schedule.h"

#include <algorithm>

ChunkSchedule::ChunkSchedule(const std::vector<PlannedPiece>& pieces, uint64_t prefix, uint32_t inFlight,
                             bool firstApart, std::function<uint64_t(uint64_t)> chunkEnd, size_t most)
    : chunkEnd_(std::move(chunkEnd)), most_(most) {
    // Groups of even size: a last group of one or two pieces would leave the listener's lanes empty. A piece
    // the listener leaves for the end counts in none, or every group would split unevenly between its lanes.
    const uint32_t count = static_cast<uint32_t>(pieces.size());
    firstExtra_ = firstApart && count > 0 ? 1 : 0;
    const uint32_t taken = count - firstExtra_;
    const uint32_t widest = std::max<uint32_t>(inFlight, 1);
    const uint32_t groups = std::max<uint32_t>(1, (taken + widest - 1) / widest);
    inFlight_ = std::max<uint32_t>(1, (taken + groups - 1) / groups);
    for (size_t n = 0; n < pieces.size(); ++n) {
        const uint64_t start = n == 0 ? std::min(prefix, pieces[n].size) : 0;
        cursors_.push_back({start, pieces[n].size, pieces[n].sourceOffset});
    }
}

bool ChunkSchedule::Next(ChunkStep& step) {
    const uint32_t count = static_cast<uint32_t>(cursors_.size());
    for (;;) {
        if (group_ >= count)
            return false;
        const uint32_t groupEnd = std::min(count, group_ + inFlight_ + (group_ == 0 ? firstExtra_ : 0));
        if (!inChunk_) {
            // The next piece of the group in turn that has bytes left; none: the next group.
            bool found = false;
            for (uint32_t tried = 0; tried < groupEnd - group_ && !found; ++tried) {
                if (cursors_[turn_].at < cursors_[turn_].end)
                    found = true;
                else
                    turn_ = turn_ + 1 < groupEnd ? turn_ + 1 : group_;
            }
            if (!found) {
                group_ = groupEnd;
                turn_ = group_;
                continue;
            }
            Cursor& c = cursors_[turn_];
            chunkTo_ = std::min(c.end, std::max(chunkEnd_(c.at), c.at + 1));
            inChunk_ = true;
        }
        Cursor& c = cursors_[turn_];
        step.piece = turn_;
        step.groupEnd = groupEnd;
        step.source = c.source;
        step.len = static_cast<size_t>(std::min<uint64_t>(chunkTo_ - c.at, most_));
        c.at += step.len;
        c.source += step.len;
        if (c.at == chunkTo_) {
            inChunk_ = false;
            turn_ = turn_ + 1 < groupEnd ? turn_ + 1 : group_;
        }
        return true;
    }
}
