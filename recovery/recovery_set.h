// The recovery set that PAR2 files beside a split set describe: its files (the pieces), their checksums
// and where each recovery slice lies on disk. Read from every *.par2 file of the folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "core/progress_meter.h"
#include "recovery/par2_format.h"

namespace par2 {

struct SliceChecksum {
    Md5Digest md5{};
    uint32_t crc = 0; // CRC-32 of the slice zero-padded to the slice size
};

struct SetFile {
    Id id{};
    std::string name;     // as the set records it
    bool isPiece = false; // named like a piece; the set's other files are checked, never joined
    uint64_t length = 0;
    Md5Digest hash{}, headHash{};
    std::vector<SliceChecksum> slices;
    uint32_t firstSlice = 0; // index of its first slice among all input slices of the set
};

struct RecoverySliceAt {
    uint32_t exponent = 0;
    std::string path;    // the .par2 file holding it
    uint64_t offset = 0; // of its data (after the exponent)
};

struct RecoverySet {
    Id setId{};
    uint64_t sliceSize = 0;
    std::vector<SetFile> files;            // in main-packet order
    std::vector<RecoverySliceAt> recovery; // intact recovery slices, one per exponent, by exponent
    std::vector<std::string> indexFiles;   // every .par2 file holding packets of this set
    uint32_t damagedPackets = 0;           // packets skipped because their MD5 did not match
    // The .par2 files that held such packets, with how many each held.
    std::vector<std::pair<std::string, uint32_t>> damagedFiles;

    uint32_t InputSlices() const;
};

enum class ReadOutcome {
    Found,
    NoIndex,    // no .par2 file in the folder describes a set of pieces
    Incomplete, // a set of pieces, but its main packet, a file description or checksums were not found intact
    NoMatch,    // sets of pieces, none describing a piece present (set: the first of them, by its files)
    TwoSets,    // two sets describing different pieces present (set and otherIndexFiles)
    Stopped,
};

struct ReadResult {
    ReadOutcome outcome = ReadOutcome::NoIndex;
    RecoverySet set;
    std::vector<std::string> otherIndexFiles; // TwoSets: the .par2 files of the second set
};

struct PresentPiece;

// The bytes of every .par2 file in the folder: what ReadRecoverySet reads.
uint64_t IndexBytes(const std::string& folder);

// Scans every "*.par2" in the folder ('\\'-separated path) for intact packets; unknown types and packets of
// other sets are ignored, duplicates merged. A set counts when it lists a piece name; of several, the one
// whose descriptions match the pieces present (see ChooseSet). Throws FileException when a file cannot be read.
// The bytes scanned advance the meter; throws JobStopped when asked to stop.
ReadResult ReadRecoverySet(const std::string& folder, const std::vector<PresentPiece>& pieces, ProgressMeter& meter);
// The same for a caller that holds a bare callback: progressBase bytes counted as done before, of
// progressTotal; a stop ends it as Stopped.
ReadResult ReadRecoverySet(const std::string& folder, const std::vector<PresentPiece>& pieces,
                           const ProgressCallback& progress = nullptr, uint64_t progressBase = 0,
                           uint64_t progressTotal = 0);
// The same over the regular pieces the folder holds now.
ReadResult ReadRecoverySet(const std::string& folder);

} // namespace par2
