// fendrik split: the checks of Start Split, a question before replacing pieces,
// the CRC-32 measured first, then the split engine.
#include <algorithm>
#include <ostream>
#include <vector>

#include "cat/joined_crc.h"
#include "cli/command_support.h"
#include "cli/progress_meter.h"
#include "core/file_checks.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/stub_image.h"
#include "platform/file.h"
#include "platform/find_files.h"
#include "split/piece_plan.h"
#include "split/split_engine.h"

namespace {

constexpr char kNotSuccessful[] = "\nSplit  NOT  Successful";

// Thrown from the split's per-block report when Ctrl-C asks to stop: the engine closes its
// files on the way out and the pieces are removed here.
struct SplitStopped {};

// The split reports a bare tick per block written. Until it reports bytes, its pacing is followed
// here to count them: blocks of up to 1 MiB that never cross a piece boundary.
class SplitPace {
public:
    SplitPace(uint64_t firstCapacity, int64_t splitSize, uint64_t size)
        : room_(firstCapacity), splitSize_(static_cast<uint64_t>(splitSize)), size_(size) {}

    uint64_t Tick() {
        constexpr uint64_t kBlock = 1 << 20;
        if (room_ == 0)
            room_ = splitSize_;
        const uint64_t block = std::min({kBlock, room_, size_ - done_});
        done_ += block;
        room_ -= block;
        return done_;
    }

private:
    uint64_t room_, splitSize_, size_, done_ = 0;
};

bool IsAnyPiece(const FoundFile& found) {
    if (found.isFolder)
        return false;
    if (PieceNumberOf(found.name.c_str(), found.name.size()) >= 0)
        return true;
    std::string lower = found.name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return lower == "_split#000.exe";
}

// Pieces already in the output folder are replaced only with a Yes.
bool MayReplacePieces(Messenger& messenger) {
    std::vector<std::string> names;
    for (const FoundFile& found : FindFiles(kPiecePattern))
        if (IsAnyPiece(found))
            names.push_back(found.name);
    if (names.empty())
        return true;
    std::sort(names.begin(), names.end());
    const std::string shown = names.size() == 1 ? names[0] : names.front() + " ... " + names.back();
    const std::string folder = CurrentDirectory();
    if (messenger.Show(folder + " already holds " + std::to_string(names.size()) + " pieces of a split set (" + shown +
                           "). Replace them?",
                       Icon::Question, Buttons::YesNo) == Answer::Yes)
        return true;
    messenger.Show("The pieces in " + folder + " stay as they are." + kNotSuccessful, Icon::Exclamation);
    return false;
}

void RemovePieces(uint64_t count, bool selfCatenating) {
    for (uint64_t n = 0; n < count && n < static_cast<uint64_t>(kMaxPieces); ++n)
        DeleteFileAt(n == 0 && selfCatenating ? std::string(kSelfCatenatingName) : PieceName(static_cast<int>(n)));
}

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
    if (!folder.Enter(options.directory, messenger) || !MayReplacePieces(messenger))
        return kExitFailure;

    // Measured first, as the dialog does, so that the header records the file as it was before any piece existed.
    std::string crcText;
    const bool withHeader = !options.noCrc;
    if (withHeader) {
        std::optional<JoinedCrc> crc;
        try {
            ProgressMeter meter(console, "CRC-32");
            crc = CrcOfParts({{largeFile, 0}}, static_cast<uint64_t>(size), meter.Callback());
        } catch (const FileException& error) {
            messenger.Show("Can't calculate CRC32\n" + error.Description(), Icon::Hand);
            return kExitFailure;
        }
        if (!crc) {
            messenger.Show(std::string("Stopped before any piece was written.") + kNotSuccessful, Icon::Exclamation);
            return kExitFailure;
        }
        crcText = CrcText(crc->crc);
    }

    const uint64_t prefix = stub.size + (withHeader ? BuildPieceHeader(crcText, largeFile).size() : 0);
    const int64_t splitSize = options.size    ? *options.size
                              : options.count ? SplitSizeForCount(prefix, static_cast<uint64_t>(size), *options.count)
                                              : kFloppyBytes;
    if (size <= splitSize) {
        messenger.Show("Large File <= Split Size", Icon::Exclamation);
        return kExitFailure;
    }

    SplitJob job;
    job.largeFile = largeFile;
    job.splitSize = splitSize;
    job.crcText = crcText;
    job.withHeader = withHeader;
    job.stubImage = stub.data;
    job.stubSize = stub.size;

    const uint64_t planned = CountPieces(prefix, static_cast<uint64_t>(size), splitSize);
    SplitResult result{SplitEnd::Done, 0};
    try {
        ProgressMeter meter(console, "Split");
        SplitPace pace(FirstPieceCapacity(prefix, splitSize), splitSize, static_cast<uint64_t>(size));
        result = SplitLargeFile(job, messenger, [&] {
            if (!meter.Report(pace.Tick(), static_cast<uint64_t>(size)))
                throw SplitStopped{};
        });
    } catch (const SplitStopped&) {
        RemovePieces(planned, job.stubImage != nullptr);
        messenger.Show(std::string("Stopped: the pieces this split had written were removed.") + kNotSuccessful,
                       Icon::Exclamation);
        return kExitFailure;
    }
    if (result.end != SplitEnd::Done)
        return kExitFailure;
    ListNewPieces(console.Streams().out, result.piecesWritten, job.stubImage != nullptr);
    return kExitOk;
}
