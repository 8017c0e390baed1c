// The order in which a split with several pieces in flight reads the large file: a group of pieces at a
// time (groups of even size, at most inFlight, the first one more where the first piece is apart), a chunk
// of each in turn (a chunk ends where the listener asks), each chunk in reads of at most a block. Both the
// reading thread and the writer walk the same schedule, so a block needs no label.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/split_observer.h"

struct ChunkStep {
    uint32_t piece = 0;
    uint32_t groupEnd = 0; // the pieces in flight with it are those from its group's first to here
    uint64_t source = 0;   // where in the large file
    size_t len = 0;
};

class ChunkSchedule {
public:
    // pieces as planned; prefix: the bytes piece 0 holds before the large file's (written apart);
    // firstApart: the listener takes piece 0 only at the end (FirstPieceAtEnd), so the others fill the
    // groups; chunkEnd: the listener's ChunkEnd; most: a read's largest size.
    ChunkSchedule(const std::vector<PlannedPiece>& pieces, uint64_t prefix, uint32_t inFlight, bool firstApart,
                  std::function<uint64_t(uint64_t)> chunkEnd, size_t most);

    // The next read, false when every piece is read.
    bool Next(ChunkStep& step);

private:
    struct Cursor {
        uint64_t at;  // in the piece
        uint64_t end; // the piece's size
        uint64_t source;
    };

    std::vector<Cursor> cursors_;
    uint32_t inFlight_ = 1;
    uint32_t firstExtra_ = 0; // piece 0, apart, in the first group besides inFlight_ others
    std::function<uint64_t(uint64_t)> chunkEnd_;
    size_t most_;
    uint32_t group_ = 0;   // the group's first piece
    uint32_t turn_ = 0;    // the piece whose chunk is being read
    uint64_t chunkTo_ = 0; // where its chunk ends
    bool inChunk_ = false;
};
