// The split's recovery files: its refusals and its report line.
#include "split/split_recovery.h"

#include <algorithm>

#include "core/piece_name.h"
#include "split/piece_plan.h"

std::variant<RecoveryPlan, std::string> PlanSplitRecovery(uint64_t prefixBytes, uint64_t fileSize, int64_t splitSize,
                                                          bool selfCatenating, const RecoveryRequest& request,
                                                          uint64_t memoryCap) {
    const uint32_t pieces = static_cast<uint32_t>(CountPieces(prefixBytes, fileSize, splitSize));
    const uint32_t restored = std::max<uint32_t>(1, PiecesToRestore(request, pieces));
    const auto plan = PlanRecovery(pieces, static_cast<uint64_t>(splitSize), selfCatenating, restored, memoryCap);
    if (const RecoveryPlan* ok = std::get_if<RecoveryPlan>(&plan))
        return *ok;
    const std::string tail = "\nSplit  NOT  Successful";
    if (std::get<RecoveryRefusal>(plan) == RecoveryRefusal::PiecesTooSmall)
        return "Recovery files cannot be made for " + std::to_string(pieces) + " pieces of " +
               std::to_string(splitSize) + " bytes: each recovery file repeats the checksums of the whole set " +
               "and would be larger than a piece.\nChoose a larger split size." + tail;
    return "Recovery files for pieces of " + std::to_string(splitSize) + " bytes need more memory than the " +
           std::to_string(memoryCap) + " bytes allowed." + tail;
}

std::string RecoveryMemoryRefusal(bool withMemoryOption) {
    return std::string("Not enough memory for the recovery files.\n") +
           (withMemoryOption ? "Use a smaller --memory or fewer recovery files." : "Ask for fewer recovery files.") +
           "\nSplit  NOT  Successful";
}

uint32_t RecoveryCountOf(const std::string& text) {
    uint32_t n = 0;
    for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min<uint32_t>(kMaxPieces, n * 10 + static_cast<uint32_t>(text[i] - '0'));
    return n;
}

std::string RecoveryOutcomeText(const RecoveryOutcome& outcome) {
    return "Recovery files: " + std::to_string(outcome.files) + " (" + std::to_string(outcome.bytes) +
           " bytes); they restore up to " + std::to_string(outcome.piecesRestored) + " lost or damaged piece" +
           (outcome.piecesRestored == 1 ? "." : "s.");
}
