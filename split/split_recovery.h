// The recovery files a split is asked for: the plan, or why none can be written (decided before the
// split writes anything), and the line the split's report gains.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "core/outcome.h"
#include "recovery/recovery_plan.h"
#include "recovery/recovery_writer.h"

// The plan for a split of fileSize bytes into splitSize-byte pieces, counted with the longest header
// (prefixBytes: catstub image and header), or the refusal.
std::variant<RecoveryPlan, Outcome> PlanSplitRecovery(uint64_t prefixBytes, uint64_t fileSize, int64_t splitSize,
                                                      bool selfCatenating, const RecoveryRequest& request,
                                                      uint64_t memoryCap);

// Takes the memory of the recovery files' passes for this split before its first byte; the refusal
// when the plan cannot be made or the memory cannot be had.
std::optional<Outcome> ReserveSplitRecovery(RecoveryWriter& writer, uint64_t prefixBytes, uint64_t fileSize,
                                            int64_t splitSize, bool selfCatenating, const RecoveryRequest& request,
                                            uint64_t memoryCap);

// The count typed into the dialog's "Recovery files" edit: its leading digits, at most kMaxPieces; 0 for none.
uint32_t RecoveryCountOf(const std::string& text);
