// What a split is asked to do, and the checks of it that need no file written: both front ends make
// them before they start a split, and the split makes them again on the file it opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/outcome.h"
#include "core/split_observer.h"
#include "recovery/recovery_plan.h"

struct SplitJob {
    std::string largeFile;              // path as the dialog holds it ('\\' separators)
    int64_t splitSize = 0;              // bytes per piece, image and header included; > 0
    std::string crcText;                // the large file's CRC-32 as "%X", or empty: taken while copying
    bool withoutCrc = false;            // "Without CRC": no header, unless self-catenating
    const uint8_t* stubImage = nullptr; // non-null: self-catenating, first piece "_Split#000.exe" begins with it
    size_t stubSize = 0;
    SplitObserver* observer = nullptr; // non-null: told every byte of the pieces (the recovery files)
};

// Whether the first piece carries the header: a self-catenating one always does, catstub reads it.
constexpr bool WritesHeader(bool withoutCrc, bool selfCatenating) {
    return !withoutCrc || selfCatenating;
}
bool WritesHeader(const SplitJob& job);

// The bytes before the data in the first piece (catstub image and header), the CRC text counted at
// its longest, 8 digits, while it is not yet known.
uint64_t LongestPrefix(const SplitJob& job);

// Why the layout of this split cannot be written, before any byte: a name the header cannot record,
// a first piece without room for data, more than 1000 pieces. Empty when it can.
std::optional<Outcome> CheckSplitLayout(const SplitJob& job, uint64_t fileSize);

// Every check of a split request, in order: a file larger than the split size (fileSize -1 when it
// has none), a split size, the layout, and the recovery files asked for (none when request.value is 0).
std::optional<Outcome> CheckSplitRequest(const SplitJob& job, int64_t fileSize, const RecoveryRequest& recovery = {},
                                         uint64_t memoryCap = kDefaultRecoveryMemory);
