// fendrik split: the checks of Start Split, then the split engine, which asks before
// deleting earlier pieces and takes the CRC-32 while it writes. What they refuse or how a
// split failed arrives as an outcome, worded by the console. split - splits standard input.
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
#include "split/stream_split.h"
#include "words/recovery_words.h"

namespace {

void ListNewPieces(std::ostream& out, int count, bool selfCatenating) {
    for (int n = 0; n < count; ++n) {
        const std::string name = n == 0 && selfCatenating ? std::string(kSelfCatenatingName) : PieceName(n);
        out << name << "\t" << GetPathStatus(name).size << " bytes\n";
    }
}

// The pieces written and the recovery files' line, which --quiet leaves out.
void ReportSplit(Console& console, const SplitResult& result, bool selfCatenating,
                 const std::optional<RecoveryWriter>& recovery) {
    if (console.Quiet())
        return;
    ListNewPieces(console.Streams().out, result.piecesWritten, selfCatenating);
    if (recovery)
        console.Streams().out << RecoveryOutcomeText(recovery->Outcome()) << "\n";
}

constexpr char kStdinName[] = "standard input";

// With --self-cat, the catstub image this program carries; false after telling that it carries none.
bool TakeStubImage(const CliOptions& options, SplitJob& job, Messenger& messenger) {
    if (!options.selfCat)
        return true;
    const StubImage stub = CarriedStubImage();
    if (!stub.data) {
        messenger.Tell(told::StubImageMissing{});
        return false;
    }
    job.stubImage = stub.data;
    job.stubSize = stub.size;
    return true;
}

// What recovery files refuse for the smallest set a split writes (one byte more than a piece) they refuse
// for every set: told before the stream is read.
std::optional<Outcome> RecoveryRefusedForAnyLength(const SplitJob& job, const CliOptions& options, uint64_t memory) {
    if (options.recovery.value == 0)
        return std::nullopt;
    const auto plan = PlanSplitRecovery(LongestPrefix(job), static_cast<uint64_t>(job.splitSize) + 1, job.splitSize,
                                        job.stubImage != nullptr, options.recovery, memory);
    if (const Outcome* refusal = std::get_if<Outcome>(&plan))
        return *refusal;
    return std::nullopt;
}

} // namespace

int RunSplitStream(const CliOptions& options, Console& console, Messenger& messenger) {
    SplitJob job;
    job.largeFile = options.name; // the header records it; nothing is read from it
    job.withoutCrc = options.noCrc;
    if (!TakeStubImage(options, job, messenger))
        return kExitFailure;
    job.splitSize = options.size ? *options.size : kFloppyBytes;
    const uint64_t memory = options.memory ? static_cast<uint64_t>(*options.memory) : kDefaultRecoveryMemory;
    if (const std::optional<Outcome> refusal = RecoveryRefusedForAnyLength(job, options, memory)) {
        messenger.Tell(*refusal);
        return kExitFailure;
    }
    OutputFolder folder;
    if (!folder.Enter(options.directory, messenger))
        return kExitFailure;
    File input;
    try {
        input = File::StandardInput(kStdinName);
    } catch (const FileException& error) {
        messenger.Show("Can't read standard input\n" + error.Description(), Icon::Hand);
        return kExitFailure;
    }
    if (!console.Quiet())
        console.Message("standard input: its length is known only at its end, so the free space, the count of "
                        "pieces and the recovery files for that length cannot be checked in advance; a split that "
                        "fails on them deletes its pieces");
    std::optional<RecoveryWriter> recovery;
    StreamSplit stream;
    stream.input = &input;
    stream.shownName = kStdinName;
    if (options.recovery.value > 0) {
        recovery.emplace(std::string(), static_cast<uint64_t>(job.splitSize), options.recovery, memory);
        job.observer = &*recovery;
        stream.prepareObserver = [&](uint64_t prefixBytes, uint64_t length) {
            return ReserveSplitRecovery(*recovery, prefixBytes, length, job.splitSize, job.stubImage != nullptr,
                                        options.recovery, memory);
        };
    }
    SplitResult result{SplitEnd::Done, 0, {}};
    {
        ProgressLine line(console, "Split");
        result = SplitStream(job, stream, messenger, line.Callback());
    }
    if (result.end != SplitEnd::Done)
        return kExitFailure;
    ReportSplit(console, result, job.stubImage != nullptr, recovery);
    return kExitOk;
}

int RunSplit(const CliOptions& options, Console& console, Messenger& messenger) {
    SplitJob job;
    job.largeFile = EnginePath(options.path);
    job.withoutCrc = options.noCrc;
    if (!TakeStubImage(options, job, messenger))
        return kExitFailure;
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
    ReportSplit(console, result, job.stubImage != nullptr, recovery);
    return kExitOk;
}
