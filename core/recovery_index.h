// What catstub takes from a set's recovery index "_Split#.par2" to name damaged pieces: each piece's
// length and the CRC-32 of each of its slices. Read without allocation, from the file's bytes in
// blocks of any size. The index is believed only whole: every packet used must carry its own MD5, all
// of one recovery set, every piece of that set described once and every slice counted; any other file
// leaves the index unused, never half used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/par2_layout.h"
#include "core/piece_name.h"

constexpr char kIndexFileName[] = "_Split#.par2";

// A set has at most this many slices; the largest slice-checksum packet describes them all.
constexpr uint32_t kIndexMaxSlices = par2::kMaxInputSlices;
constexpr size_t kIndexMaxBody =
    par2::kSliceChecksumsFixed + par2::SliceChecksums::kEntrySize * static_cast<size_t>(kIndexMaxSlices);

struct IndexedPiece {
    uint64_t length = 0;
    uint32_t firstSlice = 0; // its slices' CRC-32s start here in RecoveryIndex::sliceCrc
    uint32_t slices = 0;
    uint8_t headHash[16] = {}; // MD5 of the first 16 KiB (of the whole piece when shorter)
    uint8_t hash[16] = {};     // MD5 of the whole piece
    uint32_t input = 0;        // its first slice's number among the recovery set's input slices
};

struct RecoveryIndex {
    uint64_t sliceSize = 0;
    int pieces = 0; // pieces 0 to pieces - 1 are described
    uint8_t setId[16] = {};
    bool onlyPieces = false; // the recovery set holds no file but the pieces, so pieces can be rebuilt
    IndexedPiece piece[kMaxPieces];
    uint32_t sliceCrc[kIndexMaxSlices] = {}; // CRC-32 of each slice, zero-padded to sliceSize
};

class RecoveryIndexReader {
public:
    // Large (most of a megabyte): it belongs in static storage or on the heap, never on the stack.
    constexpr RecoveryIndexReader() = default;
    RecoveryIndexReader(const RecoveryIndexReader&) = delete;
    RecoveryIndexReader& operator=(const RecoveryIndexReader&) = delete;

    // The file's next bytes.
    void Feed(const uint8_t* data, size_t len);
    // After the last byte: true when the file describes a whole set, which Index() then holds.
    bool Finish();
    // Ready for another file, as if new.
    void Reset();
    const RecoveryIndex& Index() const { return index_; }

private:
    enum class Stage { Header, Body, Skip, Broken };
    struct File {
        uint8_t id[16];
        int piece; // -1 for a file that is no piece
        uint64_t length;
        uint8_t headHash[16];
        uint8_t hash[16];
    };
    struct Checksums {
        uint8_t id[16];
        uint32_t first;
        uint32_t count;
    };
    void Header();
    void Packet();
    void Main();
    void Description();
    void SliceChecksums();
    bool Described(const uint8_t* id) const;
    bool Counted(const uint8_t* id) const;

    RecoveryIndex index_;
    Stage stage_ = Stage::Header;
    uint8_t headerBytes_[par2::kHeaderSize] = {};
    par2::PacketHeader header_;
    size_t headerFill_ = 0;
    uint64_t bodyLen_ = 0;
    uint64_t bodyFill_ = 0; // or, while skipping, the bytes left to skip
    bool haveSet_ = false;
    uint8_t setId_[16] = {};
    bool haveMain_ = false;
    par2::MainBody main_; // its file IDs copied to mainIds_, as body_ is used again
    uint8_t mainIds_[kMaxPieces][16] = {};
    File files_[kMaxPieces] = {};
    int fileCount_ = 0;
    Checksums sums_[kMaxPieces] = {};
    int sumsCount_ = 0;
    uint32_t slicesUsed_ = 0;
    bool seen_[kMaxPieces] = {}; // pieces found in the main packet's list
    uint8_t body_[kIndexMaxBody] = {};
};
