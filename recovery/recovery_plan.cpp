// The recovery files' arithmetic: slice size, counts, volumes and passes.
#include "recovery/recovery_plan.h"

#include <algorithm>
#include <cstdio>

#include "core/piece_name.h"
#include "recovery/par2_format.h"
#include "recovery/recovery_pass.h"

namespace {

// Slices at most this large keep the arithmetic's working set and the memory per pass moderate.
constexpr uint64_t kLargestSlice = 8ull << 20;
// Input gathered per batch: each block of the recovery slices comes from memory and goes back once per two
// batches, so batches are as large as the memory the recovery slices leave allows, up to kMostBatchBytes;
// where the recovery slices take passes, a batch is at most an eighth of the memory allowed, leaving most
// of it to them.
constexpr uint64_t kMostBatchBytes = 48ull << 20;
constexpr uint64_t kPassesBatchBytes = 32ull << 20;
constexpr uint32_t kMostBatchSlices = 64;

uint64_t Pad4(uint64_t n) {
    return (n + 3) & ~uint64_t{3};
}

} // namespace

// FENDRIK_VERSION comes from the CMake project's version.
std::string_view CreatorText() {
    return "Fendrik " FENDRIK_VERSION;
}

uint32_t PiecesToRestore(const RecoveryRequest& request, uint32_t pieceCount) {
    const uint64_t n = request.percent ? (uint64_t{pieceCount} * request.value + 99) / 100 : request.value;
    return static_cast<uint32_t>(std::min<uint64_t>(n, pieceCount));
}

uint64_t RepeatedPacketBytes(uint32_t pieceCount, uint32_t slicesPerPiece, bool firstIsExe) {
    const uint64_t main = par2::kHeaderSize + par2::MainSize(pieceCount);
    // Each piece's name, padded to a multiple of 4 bytes; the self-catenating first piece's is longer.
    const uint64_t pieceName = Pad4(sizeof kFirstPieceName - 1);
    const uint64_t exeExtra = Pad4(sizeof kSelfCatenatingName - 1) - pieceName;
    const uint64_t names = pieceName * pieceCount + (firstIsExe ? exeExtra : 0);
    const uint64_t descriptions = (par2::kHeaderSize + par2::kFileDescFixed) * pieceCount + names;
    const uint64_t checksums = (par2::kHeaderSize + par2::SliceChecksumsSize(slicesPerPiece)) * pieceCount;
    const uint64_t creator = par2::kHeaderSize + Pad4(CreatorText().size());
    return main + descriptions + checksums + creator;
}

std::variant<RecoveryPlan, RecoveryRefusal> PlanRecovery(uint32_t pieceCount, uint64_t splitSize, bool firstIsExe,
                                                         uint32_t piecesRestored, uint64_t memoryCap) {
    // A piece is whole slices, at least two: one slice of a piece's size would leave no room in a
    // recovery file, of that size, for the packets every file repeats. More slices per piece cost
    // arithmetic in proportion (each recovery slice is a sum over all the data), so the fewest that fit.
    const uint32_t mostPerPiece = std::max<uint32_t>(1, par2::kMaxInputSlices / std::max<uint32_t>(1, pieceCount));
    uint32_t k = static_cast<uint32_t>(std::max<uint64_t>(2, (splitSize + kLargestSlice - 1) / kLargestSlice));
    k = std::min(k, mostPerPiece);
    RecoveryPlan plan;
    for (; k <= mostPerPiece; ++k) {
        const uint64_t slice = Pad4((splitSize + k - 1) / k);
        const uint64_t repeated = RepeatedPacketBytes(pieceCount, k, firstIsExe);
        if (repeated + slice + kRecoveryPacketOverhead <= splitSize) {
            plan.sliceSize = slice;
            plan.slicesPerPiece = k;
            plan.slicesPerVolume = static_cast<uint32_t>((splitSize - repeated) / (slice + kRecoveryPacketOverhead));
            break;
        }
    }
    if (plan.sliceSize == 0)
        return RecoveryRefusal::PiecesTooSmall;
    const uint64_t s = plan.sliceSize;
    if (memoryCap < (kPassBatches + 1) * s)
        return RecoveryRefusal::MemoryTooSmall;
    plan.piecesRestored = piecesRestored;
    plan.recoverySlices = piecesRestored * plan.slicesPerPiece;
    const uint64_t recoveryBytes = uint64_t{plan.recoverySlices} * s;
    const uint64_t left = memoryCap > recoveryBytes ? memoryCap - recoveryBytes : 0;
    const uint64_t batchBytes = left >= kPassBatches * s ? std::min(kMostBatchBytes, left / kPassBatches)
                                                         : std::min(kPassesBatchBytes, memoryCap / 8);
    plan.batchSlices = static_cast<uint32_t>(std::clamp<uint64_t>(batchBytes / s, 1, kMostBatchSlices));
    if ((kPassBatches * plan.batchSlices + 1) * s > memoryCap)
        plan.batchSlices = 1;
    const uint32_t fit = static_cast<uint32_t>((memoryCap - kPassBatches * plan.batchSlices * s) / s);
    plan.slicesPerVolume = std::min({plan.slicesPerVolume, fit, plan.recoverySlices});
    // One pass when they all fit, else whole volumes per pass.
    plan.slicesPerPass =
        plan.recoverySlices <= fit ? plan.recoverySlices : fit / plan.slicesPerVolume * plan.slicesPerVolume;
    plan.volumes = (plan.recoverySlices + plan.slicesPerVolume - 1) / plan.slicesPerVolume;
    // The index file and each volume repeat the packets; each recovery slice is one packet.
    plan.fileBytes = (plan.volumes + 1) * RepeatedPacketBytes(pieceCount, plan.slicesPerPiece, firstIsExe) +
                     uint64_t{plan.recoverySlices} * (plan.sliceSize + kRecoveryPacketOverhead);
    return plan;
}

std::string RecoveryVolumeName(uint32_t first, uint32_t count, uint32_t totalSlices) {
    int width = 3;
    for (uint32_t n = totalSlices; n >= 1000; n /= 10)
        ++width;
    char name[64];
    std::snprintf(name, sizeof name, "_Split#.vol%0*u+%0*u.par2", width, first, width, count);
    return name;
}
