// The checks of a split request, each giving the outcome the front ends word.
#include "split/split_request.h"

#include <variant>

#include "core/piece_header.h"
#include "core/piece_name.h"
#include "split/piece_plan.h"
#include "split/split_recovery.h"

namespace {

uint64_t Unsigned(int64_t value) {
    return value > 0 ? static_cast<uint64_t>(value) : 0;
}

uint64_t StubBytes(const SplitJob& job) {
    return job.stubImage ? job.stubSize : 0;
}

} // namespace

bool WritesHeader(const SplitJob& job) {
    return WritesHeader(job.withoutCrc, job.stubImage != nullptr);
}

uint64_t LongestPrefix(const SplitJob& job) {
    return StubBytes(job) + (WritesHeader(job) ? LongestPieceHeader(job.crcText, job.largeFile).size() : 0);
}

std::optional<Outcome> CheckSplitLayout(const SplitJob& job, uint64_t fileSize) {
    const bool withHeader = WritesHeader(job);
    if (withHeader) {
        const std::string name = RecordedName(job.largeFile);
        if (!IsPlainFileName(name.c_str(), name.size())) {
            told::NameUnrecordable refusal;
            refusal.path = job.largeFile;
            refusal.name = name;
            return refusal;
        }
    }
    const uint64_t headerSize = withHeader ? LongestPieceHeader(job.crcText, job.largeFile).size() : 0;
    const uint64_t prefix = StubBytes(job) + headerSize;
    // A first piece holding only what precedes the data would be no piece of the size asked for.
    if (prefix > 0 && Unsigned(job.splitSize) <= prefix) {
        if (job.stubImage)
            return told::SelfCatenateTooSmall{Unsigned(job.splitSize), StubBytes(job), headerSize};
        return told::PieceSizeTooSmall{Unsigned(job.splitSize), prefix};
    }
    // While the CRC is not known its text is counted at its shortest too: only when even that gives
    // too many pieces is the split refused here (the split counts again once it knows the CRC).
    const bool crcKnown = !withHeader || !job.crcText.empty();
    const uint64_t fewest =
        CountPieces(crcKnown ? prefix : prefix - (kLongestCrcText - kShortestCrcText), fileSize, job.splitSize);
    if (fewest > static_cast<uint64_t>(kMaxPieces))
        return told::TooManyPieces{};
    return std::nullopt;
}

std::optional<Outcome> CheckSplitRequest(const SplitJob& job, int64_t fileSize, const RecoveryRequest& recovery,
                                         uint64_t memoryCap) {
    if (fileSize <= job.splitSize) {
        return told::LargeFileNotLarger{job.largeFile, Unsigned(fileSize), Unsigned(job.splitSize)};
    }
    if (job.splitSize <= 0)
        return told::NoSplitSize{};
    if (std::optional<Outcome> refusal = CheckSplitLayout(job, static_cast<uint64_t>(fileSize)))
        return refusal;
    if (recovery.value > 0) {
        const auto plan = PlanSplitRecovery(LongestPrefix(job), static_cast<uint64_t>(fileSize), job.splitSize,
                                            job.stubImage != nullptr, recovery, memoryCap);
        if (const Outcome* refusal = std::get_if<Outcome>(&plan))
            return *refusal;
    }
    return std::nullopt;
}
