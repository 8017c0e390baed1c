// fendrik split: the checks of Start Split, then the split engine, which asks before
// deleting earlier pieces and takes the CRC-32 while it writes.
#include <optional>
#include <ostream>

#include "cli/command_support.h"
#include "cli/progress_line.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/stub_image.h"
#include "platform/file.h"
#include "split/piece_plan.h"
#include "split/split_engine.h"
#include "split/split_recovery.h"

namespace {

constexpr char kNotSuccessful[] = "\nSplit  NOT  Successful";

void ListNewPieces(std::ostream& out, int count, bool selfCatenating) {
    for (int n = 0; n < count; ++n) {
        const std::string name = n == 0 && selfCatenating ? std::string(kSelfCatenatingName) : PieceName(n);
        out << name << "\t" << GetPathStatus(name).size << " bytes\n";
    }
}

} // namespace

int RunSplit(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::string largeFile = EnginePath(options.path);
    StubImage stub{nullptr, 0};
    if (options.selfCat) {
        stub = CarriedStubImage();
        if (!stub.data) {
            messenger.Show(std::string("This fendrik was built without the catstub program, so it cannot write "
                                       "_Split#000.exe.") +
                               kNotSuccessful,
                           Icon::Hand);
            return kExitFailure;
        }
    }
    const int64_t size = GetFileSize(largeFile, true, messenger);
    if (size < 0)
        return kExitFailure;
    if (!options.count && size <= options.size.value_or(kFloppyBytes)) {
        messenger.Show("Large File <= Split Size", Icon::Exclamation);
        return kExitFailure;
    }

    OutputFolder folder;
    if (!folder.Enter(options.directory, messenger))
        return kExitFailure;

    // The CRC-32 is taken while the pieces are written, as Start Split does: the file is read once.
    // A count is met with the header's longest CRC text; a shorter CRC only gives piece 000 more room.
    const bool withHeader = !options.noCrc || options.selfCat;
    const uint64_t prefix = stub.size + (withHeader ? LongestPieceHeader("", largeFile).size() : 0);
    const int64_t splitSize = options.size    ? *options.size
                              : options.count ? SplitSizeForCount(prefix, static_cast<uint64_t>(size), *options.count)
                                              : kFloppyBytes;
    if (size <= splitSize) {
        messenger.Show("Large File <= Split Size", Icon::Exclamation);
        return kExitFailure;
    }

    // Recovery files that cannot be are refused before the first byte, as every other check.
    std::optional<RecoveryWriter> recovery;
    if (options.recovery.value > 0) {
        const uint64_t memory = options.memory ? static_cast<uint64_t>(*options.memory) : kDefaultRecoveryMemory;
        const auto plan = PlanSplitRecovery(prefix, static_cast<uint64_t>(size), splitSize, options.selfCat,
                                            options.recovery, memory);
        if (const std::string* refusal = std::get_if<std::string>(&plan)) {
            messenger.Show(*refusal, Icon::Exclamation);
            return kExitFailure;
        }
        recovery.emplace(largeFile, static_cast<uint64_t>(splitSize), options.recovery, memory);
        if (!recovery->Reserve(std::get<RecoveryPlan>(plan))) {
            messenger.Show(RecoveryMemoryRefusal(true), Icon::Exclamation);
            return kExitFailure;
        }
    }

    SplitJob job;
    job.observer = recovery ? &*recovery : nullptr;
    job.largeFile = largeFile;
    job.splitSize = splitSize;
    job.withHeader = !options.noCrc;
    job.stubImage = stub.data;
    job.stubSize = stub.size;

    SplitResult result{SplitEnd::Done, 0, {}};
    {
        ProgressLine line(console, "Split");
        result = SplitLargeFile(job, messenger, line.Callback());
    }
    // A stop is no success: it is told also under --quiet, which leaves out only success reports.
    if (result.end == SplitEnd::Stopped && console.Quiet())
        console.Message(OneLine(kSplitStoppedText));
    if (result.end != SplitEnd::Done)
        return kExitFailure;
    if (!console.Quiet()) {
        ListNewPieces(console.Streams().out, result.piecesWritten, job.stubImage != nullptr);
        if (recovery)
            console.Streams().out << RecoveryOutcomeText(recovery->Outcome()) << "\n";
    }
    return kExitOk;
}
