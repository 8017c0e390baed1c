// The split's recovery files: its refusals and its report line.
#include "split/split_recovery.h"

#include <algorithm>

#include "core/piece_name.h"
#include "split/piece_plan.h"

std::variant<RecoveryPlan, Outcome> PlanSplitRecovery(uint64_t prefixBytes, uint64_t fileSize, int64_t splitSize,
                                                      bool selfCatenating, const RecoveryRequest& request,
                                                      uint64_t memoryCap) {
    const uint32_t pieces = static_cast<uint32_t>(CountPieces(prefixBytes, fileSize, splitSize));
    const uint32_t restored = std::max<uint32_t>(1, PiecesToRestore(request, pieces));
    const auto plan = PlanRecovery(pieces, static_cast<uint64_t>(splitSize), selfCatenating, restored, memoryCap);
    if (const RecoveryPlan* ok = std::get_if<RecoveryPlan>(&plan))
        return *ok;
    const uint64_t size = static_cast<uint64_t>(splitSize);
    if (std::get<RecoveryRefusal>(plan) == RecoveryRefusal::PiecesTooSmall)
        return told::RecoveryPiecesTooSmall{pieces, size};
    return told::RecoveryNeedsMemory{size, memoryCap};
}

std::optional<Outcome> ReserveSplitRecovery(RecoveryWriter& writer, uint64_t prefixBytes, uint64_t fileSize,
                                            int64_t splitSize, bool selfCatenating, const RecoveryRequest& request,
                                            uint64_t memoryCap) {
    const auto plan = PlanSplitRecovery(prefixBytes, fileSize, splitSize, selfCatenating, request, memoryCap);
    if (const Outcome* refusal = std::get_if<Outcome>(&plan))
        return *refusal;
    if (!writer.Reserve(std::get<RecoveryPlan>(plan)))
        return told::RecoveryMemoryUnavailable{};
    return std::nullopt;
}

uint32_t RecoveryCountOf(const std::string& text) {
    uint32_t n = 0;
    for (size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min<uint32_t>(kMaxPieces, n * 10 + static_cast<uint32_t>(text[i] - '0'));
    return n;
}
