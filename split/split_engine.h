// The split: cuts the large file into "_Split#000", "_Split#001", ... in the
// current directory, the first piece carrying the header (and the catstub image).
#pragma once

#include <string>

#include "core/job_progress.h"
#include "core/messages.h"
#include "split/piece_list.h"
#include "split/piece_plan.h"
#include "split/split_request.h"

enum class SplitEnd {
    Done,
    TooManyPieces,           // more than 1000 pieces: refused, nothing written
    FileError,               // a file could not be opened, read or written; the pieces of this run were deleted
    ChangedWhileSplitting,   // the data copied is not the file that was measured; the pieces were deleted
    WouldOverwriteLargeFile, // the large file is itself a piece in the folder written to
    Refused,                 // a check before writing refused, or the user kept earlier pieces: nothing written
    Stopped                  // the front end asked it to stop: the pieces of this run were deleted
};

struct SplitResult {
    SplitEnd end;
    int piecesWritten;   // piece files created by this split (and still on disk)
    std::string crcText; // when Done: the CRC-32 of the data copied, as "%X"
};

// Writes the pieces by bare name in the current directory; tells refusals and
// failures through messenger as outcomes. onProgress counts the large file's bytes
// as they are written; when it answers false the split stops and deletes its pieces.
// When crcText is empty the file is still read once: the CRC-32 is taken while
// the pieces are written and put into the header at the end.
SplitResult SplitLargeFile(const SplitJob& job, Messenger& messenger, const ProgressCallback& onProgress = {});
