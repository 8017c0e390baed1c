// The split of a stream that cannot be measured or read twice (standard input): the same pieces, header
// and recovery files as the split of a file of the same bytes, with what that costs when the length and
// the CRC-32 are known only at the stream's end.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/job_progress.h"
#include "core/messages.h"
#include "core/outcome.h"
#include "platform/file.h"
#include "split/split_engine.h"

struct StreamSplit {
    File* input = nullptr; // read from where it stands to its end
    std::string shownName; // what messages call the stream ("standard input")
    // Once the pieces are final and before the observer (job.observer) hears of them: its refusal of a
    // set of this length (the recovery files' plan and memory), or empty.
    std::function<std::optional<Outcome>(uint64_t prefixBytes, uint64_t length)> prepareObserver;
};

// Splits the stream as SplitLargeFile splits a file; job.largeFile gives only the name the header records.
// The header's CRC digits wait for the stream's end. When its text is shorter than 8 digits, every piece is
// rewritten from the pieces themselves (the data is no longer in the stream): each byte is read and written
// once more. The recovery files are made from the finished pieces, read once more. Checks that need the
// length (the size of the stream, the count of pieces, the recovery files) are made as the pieces are
// written or at the end; a refusal then deletes the pieces, as a failed write does.
SplitResult SplitStream(const SplitJob& job, const StreamSplit& stream, Messenger& messenger,
                        const ProgressCallback& onProgress = {});
