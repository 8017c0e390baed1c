// How a split's recovery files are laid out: the slice size, how many recovery slices restore the
// pieces asked for, how many go into each file so that no file outgrows a piece, and how many fit
// into memory at once. Pure arithmetic, decided before the split writes its first byte.
#pragma once

#include <cstdint>
#include <string_view>
#include <string>
#include <variant>

#include "core/par2_layout.h"

// How many pieces the recovery files should restore: a count, or a percentage of the set.
struct RecoveryRequest {
    bool percent = false;
    uint32_t value = 0; // 0: no recovery files
};

// Pieces restored for a set of pieceCount pieces: a percentage rounds up, neither exceeds the set.
uint32_t PiecesToRestore(const RecoveryRequest& request, uint32_t pieceCount);

constexpr uint64_t kDefaultRecoveryMemory = 256ull << 20; // both Windows builds can allocate it
// The Creator packet's text: which Fendrik wrote a set ("Fendrik 1.0.0"), for the PAR2 programs that show it.
std::string_view CreatorText();

struct RecoveryPlan {
    uint64_t sliceSize = 0;       // a multiple of 4
    uint32_t slicesPerPiece = 0;  // of a whole piece: a lost piece costs this many recovery slices
    uint32_t piecesRestored = 0;  // lost or damaged pieces the files restore
    uint32_t recoverySlices = 0;  // piecesRestored * slicesPerPiece
    uint32_t slicesPerVolume = 0; // the last volume may hold fewer
    uint32_t slicesPerPass = 0;   // a multiple of slicesPerVolume, or all of them
    uint32_t batchSlices = 0;     // input slices gathered before the arithmetic runs over them
    uint32_t volumes = 0;
    uint64_t fileBytes = 0; // of every recovery file together, at most: what the volume must hold besides
};

enum class RecoveryRefusal {
    PiecesTooSmall, // the packets every file repeats leave no room for a recovery slice in a piece's size
    MemoryTooSmall, // less memory than four slices: one recovery slice and three input batches
};

// The plan for pieceCount pieces of splitSize bytes (the last may be shorter; firstIsExe: piece 0 is
// "_Split#000.exe"), restoring piecesRestored (> 0) of them within memoryCap bytes.
std::variant<RecoveryPlan, RecoveryRefusal> PlanRecovery(uint32_t pieceCount, uint64_t splitSize, bool firstIsExe,
                                                         uint32_t piecesRestored, uint64_t memoryCap);

// Bytes of the packets every recovery file repeats (main, file descriptions, slice checksums) and the
// creator packet, for the worst case of pieceCount whole pieces.
uint64_t RepeatedPacketBytes(uint32_t pieceCount, uint32_t slicesPerPiece, bool firstIsExe);
constexpr uint64_t kRecoveryPacketOverhead = par2::kHeaderSize + par2::kRecoverySliceFixed; // before the slice

// "_Split#.vol000+002.par2" for the volume of count slices from exponent first (the index is
// kIndexFileName of core/recovery_index.h); width is the digits of the set's recovery slice count, at least 3.
std::string RecoveryVolumeName(uint32_t first, uint32_t count, uint32_t totalSlices);
