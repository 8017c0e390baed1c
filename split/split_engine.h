// The split: cuts the large file into "_Split#000", "_Split#001", ... in the
// current directory, the first piece carrying the header (and the catstub image).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "core/job_progress.h"
#include "core/messages.h"
#include "core/split_observer.h"
#include "split/piece_list.h"
#include "split/piece_plan.h"

struct SplitJob {
    std::string largeFile;              // path as the dialog holds it ('\\' separators)
    int64_t splitSize = 0;              // bytes per piece, image and header included; > 0
    std::string crcText;                // the large file's CRC-32 as "%X", or empty: taken while copying
    bool withHeader = true;             // false: "Without CRC"
    const uint8_t* stubImage = nullptr; // non-null: self-catenating, first piece "_Split#000.exe" begins with it
    size_t stubSize = 0;
    SplitObserver* observer = nullptr; // non-null: told every byte of the pieces (the recovery files)
};

enum class SplitEnd {
    Done,
    TooManyPieces,           // more than 1000 pieces: refused, nothing written
    FileError,               // a file could not be opened, read or written; the pieces of this run were deleted
    ChangedWhileSplitting,   // the data copied is not the file that was measured; the pieces stay
    WouldOverwriteLargeFile, // the large file is itself a piece in the folder written to
    Refused,                 // a check before writing refused, or the user kept earlier pieces: nothing written
    Stopped                  // the front end asked it to stop: the pieces of this run were deleted
};

struct SplitResult {
    SplitEnd end;
    int piecesWritten;   // piece files created by this split (and still on disk)
    std::string crcText; // when Done: the CRC-32 of the data copied, as "%X"
};

// The message prefix of a file error during the split.
constexpr const char kSplitErrorPrefix[] = "Error on Subroutine: OnBn_StartSplit\n";
constexpr const char kTooManyPiecesText[] = "Too many Splitted Files.\nSplit  NOT  Successful";
constexpr const char kSplitStoppedText[] = "Split cancelled.\nThe pieces it had written were deleted.";

// Writes the pieces by bare name in the current directory; shows refusals and
// errors through messenger. onProgress counts the large file's bytes as they
// are written; when it answers false the split stops and deletes its pieces.
// When crcText is empty the file is still read once: the CRC-32 is taken while
// the pieces are written and put into the header at the end.
SplitResult SplitLargeFile(const SplitJob& job, Messenger& messenger, const ProgressCallback& onProgress = {});
