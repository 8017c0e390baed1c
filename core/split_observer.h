// What a split tells a listener that works on the pieces as they are written (the recovery files):
// the pieces' names and sizes before a pass writes them, every byte of every piece in its piece's order,
// and the end (the first piece's header may still change until then). The bytes come from the split's own
// buffers: the set is read once. A listener that hashes each piece as a stream of its own asks for several
// pieces at once, their bytes in turn, so that the streams run side by side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class ProgressMeter;

struct PlannedPiece {
    std::string name; // as on disk, "_Split#000.exe" included
    uint64_t size = 0;
    uint64_t sourceOffset = 0; // where its first byte of the large file's data is (after piece 0's prefix)
    // Its first bytes as known before it is written, valid during Begin: catstub's image, for a
    // self-catenating first piece, and the header when it is final; none for the others. A set replayed
    // from its finished pieces (a split of a stream) gives every piece's first 16 KiB here.
    const uint8_t* knownStart = nullptr;
    size_t knownLen = 0;
    // Its bytes as this pass writes them are the set's: false for a first piece whose header's CRC is
    // filled in at the end.
    bool asWritten = true;
};

class SplitObserver {
public:
    virtual ~SplitObserver() = default;
    // A pass is about to write these pieces; anything taken from an earlier pass is void.
    virtual void Begin(const std::vector<PlannedPiece>& pieces) = 0;
    // The next bytes of piece `piece` (its number in the list), following the ones told before. Bytes of
    // another piece come only at a chunk's end (ChunkEnd) or a piece's end.
    virtual void Written(uint32_t piece, const uint8_t* data, size_t len) = 0;
    // How many pieces the split may write at once, taking a chunk of each in turn; 1: one after the other.
    virtual uint32_t PiecesInFlight() const { return 1; }
    // The listener takes the first piece's bytes only at the end (its header changes until then): the first
    // group in flight holds it besides PiecesInFlight others.
    virtual bool FirstPieceAtEnd() const { return false; }
    // Where the chunk of a piece that starts at byte `at` of it ends (beyond the piece's end: up to it).
    virtual uint64_t ChunkEnd(uint64_t at) const { return at + (uint64_t{1} << 20); }
    // What the listener will read back at the end as far as Begin tells (the split's meter counts it from
    // the start); Complete grows the meter only for what it learns then.
    virtual uint64_t BytesReadBack() const { return 0; }
    // Every piece is on disk and right: the listener finishes its work (growing the meter for what it
    // reads or writes) and writes its files. May throw FileException or JobStopped.
    virtual void Complete(ProgressMeter& meter) = 0;
    // The split failed or stopped: whatever the listener wrote goes.
    virtual void Discard() = 0;
    // What the listener's own files will take on the volume, at most, known before the split's first byte.
    virtual uint64_t FileBytes() const { return 0; }
};
