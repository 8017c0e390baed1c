// fendrik split: the checks of Start Split, then the split engine, which asks before
// deleting earlier pieces and takes the CRC-32 while it writes. What they refuse or how a
// split failed arrives as an outcome, worded by the console.
#include <optional>
#include <ostream>

#include "cli/command_support.h"
#include "cli/progress_line.h"
#include "core/file_checks.h"
#include "core/piece_name.h"
#include "core/stub_image.h"
#include "platform/file.h"
#include "split/piece_plan.h"
#include "split/split_engine.h"
#include "split/split_recovery.h"
#include "words/recovery_words.h"

namespace {

void ListNewPieces(std::ostream& out, int count, bool selfCatenating) {
    for (int n = 0; n < count; ++n) {
        const std::string name = n == 0 && selfCatenating ? std::string(kSelfCatenatingName) : PieceName(n);
        out << name << "\t" << GetPathStatus(name).size << " bytes\n";
    }
}

} // namespace

int RunSplit(const CliOptions& options, Console& console, Messenger& messenger) {
    SplitJob job;
    job.largeFile = EnginePath(options.path);
    job.withoutCrc = options.noCrc;
    if (options.selfCat) {
        const StubImage stub = CarriedStubImage();
        if (!stub.data) {
            messenger.Tell({OutcomeKind::StubImageMissing});
            return kExitFailure;
        }
        job.stubImage = stub.data;
        job.stubSize = stub.size;
    }
    const int64_t size = GetFileSize(job.largeFile, true, messenger);
    if (size < 0)
        return kExitFailure;

    OutputFolder folder;
    if (!folder.Enter(options.directory, messenger))
        return kExitFailure;

    // The CRC-32 is taken while the pieces are written, as Start Split does: the file is read once.
    // A count is met with the header's longest CRC text; a shorter CRC only gives piece 000 more room.
    job.splitSize = options.size    ? *options.size
                    : options.count ? SplitSizeForCount(LongestPrefix(job), static_cast<uint64_t>(size), *options.count)
                                    : kFloppyBytes;
    const uint64_t memory = options.memory ? static_cast<uint64_t>(*options.memory) : kDefaultRecoveryMemory;
    if (const std::optional<Outcome> refusal = CheckSplitRequest(job, size, options.recovery, memory)) {
        messenger.Tell(*refusal);
        return kExitFailure;
    }
    std::optional<RecoveryWriter> recovery;
    if (options.recovery.value > 0) {
        recovery.emplace(job.largeFile, static_cast<uint64_t>(job.splitSize), options.recovery, memory);
        if (const std::optional<Outcome> refusal =
                ReserveSplitRecovery(*recovery, LongestPrefix(job), static_cast<uint64_t>(size), job.splitSize,
                                     job.stubImage != nullptr, options.recovery, memory)) {
            messenger.Tell(*refusal);
            return kExitFailure;
        }
        job.observer = &*recovery;
    }

    SplitResult result{SplitEnd::Done, 0, {}};
    {
        ProgressLine line(console, "Split");
        result = SplitLargeFile(job, messenger, line.Callback());
    }
    if (result.end != SplitEnd::Done)
        return kExitFailure;
    if (!console.Quiet()) {
        ListNewPieces(console.Streams().out, result.piecesWritten, job.stubImage != nullptr);
        if (recovery)
            console.Streams().out << RecoveryOutcomeText(recovery->Outcome()) << "\n";
    }
    return kExitOk;
}
