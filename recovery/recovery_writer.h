// The recovery files of a split: a PAR2 set whose files are the pieces. It listens to the split,
// computes the slices' checksums and the recovery slices from the bytes as they are written, and
// writes "_Split#.par2" and the "_Split#.volFIRST+COUNT.par2" files once the pieces are complete.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/split_observer.h"
#include "platform/file.h"
#include "recovery/first_piece_sums.h"
#include "recovery/md5.h"
#include "recovery/md5_lanes.h"
#include "recovery/par2_format.h"
#include "recovery/recovery_pass.h"
#include "recovery/recovery_plan.h"

struct RecoveryOutcome {
    uint32_t piecesRestored = 0; // lost or damaged pieces the files can restore
    uint32_t files = 0;
    uint64_t bytes = 0;
    uint64_t bytesReread = 0; // read back from the pieces on disk after the split
};

class RecoveryWriter : public SplitObserver {
public:
    // largeFile: the split's source, whose pieces' first bytes are read ahead (see Begin).
    RecoveryWriter(std::string largeFile, uint64_t splitSize, RecoveryRequest request, uint64_t memoryCap);
    ~RecoveryWriter() override;

    // Takes the memory of the passes of this plan (the front end's, as large as the split's) before the split
    // writes anything; false when this process cannot have that much.
    bool Reserve(const RecoveryPlan& plan);

    void Begin(const std::vector<PlannedPiece>& pieces) override;
    void Written(uint32_t piece, const uint8_t* data, size_t len) override;
    // Pieces at once: two in-order threads of up to 16 lanes each hash 8 pieces, a piece's stream and its
    // slice's; a first piece that waits for its header's CRC is hashed at the end, beside the first group.
    // Chunks end at slice ends, and large slices are cut into a few.
    uint32_t PiecesInFlight() const override { return kMostLanes; }
    bool FirstPieceAtEnd() const override { return !firstFed_; }
    uint64_t ChunkEnd(uint64_t at) const override;
    // The first piece where its header waits for the CRC, and the pieces summed only when read back.
    uint64_t BytesReadBack() const override;
    void Complete(ProgressMeter& meter) override;
    void Discard() override;
    uint64_t FileBytes() const override { return reservedBytes_; }

    const RecoveryOutcome& Outcome() const { return outcome_; }
    const RecoveryPlan& Plan() const { return plan_; }

private:
    struct Piece;

    // Which constants the slices of a piece get: where the order read ahead puts them (while the split
    // writes), where the final order does, or both (taking out what the first put in the wrong place).
    enum class Place { Assumed, Final, Moved };
    void Feed(RecoveryPass& pass, uint32_t piece, const uint8_t* data, size_t len, Place place, bool hash);
    // Bytes left in the piece's chunk under way.
    size_t Room(uint32_t piece) const;
    // len more bytes of the piece are in the pass's slot; a whole chunk, or the piece's last, is added.
    void Filled(RecoveryPass& pass, uint32_t piece, size_t len, Place place, bool hash);
    void FeedFromDisk(RecoveryPass& pass, uint32_t piece, Place place, bool hash, ProgressMeter& meter);
    // Pieces read back for the sums alone (their checksums are known): in any order, so chunks at one place
    // of many slices go to the sums together.
    void FeedAcross(const std::vector<std::pair<uint32_t, Place>>& back, ProgressMeter& meter);
    void FeedChunk(File& in, uint32_t piece, uint64_t at, Place place, ProgressMeter& meter);
    // The checksums of a batch's chunks, in order: of the pieces p with p % threads == thread only.
    void HashBatch(const SliceBatch& batch, size_t slotStride, size_t thread, size_t threads);
    SliceHooks Hooks();
    // The pieces in file ID order; each piece's first input slice set in assumedBase or finalBase.
    void Order(bool assumed);
    // A recovery slice packet's header, its exponent included.
    static constexpr size_t kPacketHead = par2::kHeaderSize + par2::kRecoverySliceFixed;
    using PacketHead = std::array<uint8_t, kPacketHead>;
    // The steps of Complete: the first piece's ID when its bytes were not final as written; the bytes the
    // read-backs and later passes add to the meter; the pieces whose slices moved read back; the pieces'
    // IDs as written, and the slices fed again where those move the order; the packets every file repeats;
    // the passes after the first.
    void IdentifyFirstPiece();
    // The pieces' IDs from their first bytes, read ahead from the large file where the split gives none.
    void IdentifyAhead();
    // The pieces summed only at the end, once their place is known, where it is likely to move.
    void ChooseDeferred();
    uint64_t BytesLeft() const;
    void FeedReadBack(ProgressMeter& meter);
    void SettleOrder(ProgressMeter& meter);
    // The first piece's checksums, once hashed aside.
    void TakeFirstPieceSums();
    // The main packet, which names the set; then the rest of what every file repeats, once the pieces'
    // checksums are known.
    void BuildMainPacket();
    void BuildRepeatedPackets();
    void AppendPiecePackets(uint32_t piece);
    void RunLaterPasses(ProgressMeter& meter);
    // The volumes of a pass with their recovery slices written; the packets every file repeats still to come.
    std::vector<File> StartVolumes(const RecoveryPass& pass);
    void WriteVolumes(const RecoveryPass& pass);
    // The count recovery slices whose headers are heads; on any thread.
    void WriteSlices(File& out, const RecoveryPass& pass, const PacketHead* heads, uint32_t count) const;
    // The packets every file repeats, at the file's end.
    void EndFile(File& out);

    std::string largeFile_;
    uint64_t splitSize_;
    RecoveryRequest request_;
    uint64_t memoryCap_;
    RecoveryPlan plan_;
    std::vector<PlannedPiece> pieces_;
    std::unique_ptr<Piece[]> state_;
    PassMemory memory_; // before pass_, which uses it
    std::unique_ptr<RecoveryPass> pass_;
    // A large first piece read back: its checksums, hashed aside (after pass_, which reads it too).
    std::unique_ptr<FirstPieceSums> firstSums_;
    std::atomic<bool> firstAside_{false}; // the hashing threads leave the first piece to firstSums_
    std::vector<uint32_t> idOrder_;       // the pieces in file ID order, as the main packet lists them
    std::vector<bool> deferred_;          // hashed as written, summed only when read back at the end
    uint64_t chunk_ = 0;                  // bytes of a slice per input of the pass: all of it, or a part
    size_t slotFill_ = 0;                 // bytes in the pass's current slot
    bool firstIdKnown_ = false; // from catstub's image or a final header: the order read ahead is the final one
    bool firstFed_ = false;     // the first piece's bytes as written are final: it is not read back
    par2::Id setId_{};
    std::vector<uint8_t> repeated_; // the critical packets and the creator packet, as every file holds them
    std::vector<std::string> files_;
    RecoveryOutcome outcome_;
    uint64_t reservedBytes_ = 0; // the files of the plan reserved for
};
