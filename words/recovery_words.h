// The words for a set checked against its recovery files, shared by the command and the window: one line
// per piece that is not intact, the summary, the rebuild, and the window's questions.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recovery/piece_check.h"
#include "recovery/rebuild.h"
#include "recovery/recovery_writer.h"

// What a split's recovery files came to: "Recovery files: 3 (2917044 bytes); they restore up to 2 lost
// or damaged pieces."
std::string RecoveryOutcomeText(const RecoveryOutcome& outcome);

// "damaged: _Split#009: bytes 364416-728831 (1 of 4 slices)", "missing: _Split#004", ..., then each damaged
// recovery file and what the intact ones can still restore.
std::vector<std::string> PieceStateLines(const par2::SetCheck& check);
// "2 pieces damaged, 1 missing: the recovery files can rebuild them (needs 9 of 12 recovery slices)"
std::string RecoverySummary(const par2::SetCheck& check);
// "_Split#004, _Split#009": the files a rebuild writes (a join's: the pieces alone).
std::string PiecesToRebuild(const par2::SetCheck& check, bool piecesOnly = false);
// "rebuilt: _Split#009 (damaged original kept as _Split#009.damaged)"
std::vector<std::string> RebuiltLines(const par2::RebuildResult& result);
// "removed: _Split#004.rebuilding (left by a stopped rebuild)"
std::vector<std::string> LeftoverLines(const par2::RebuildResult& result);
// Why the recovery files beside the pieces were not used: they describe other files, or two sets disagree.
std::string SetChoiceText(const par2::CheckResult& result);
// Why a rebuild wrote nothing, or what went wrong.
std::string RebuildFailureText(const par2::RebuildResult& result, const par2::SetCheck& check);

// How many more recovery files like the fullest one present would make up the slices lacking; 0 when none.
uint32_t MoreRecoveryFiles(const par2::SetCheck& check);
// The window's texts: "Check pieces", the question before a rebuild, the refusal when one cannot be made.
std::string CheckPiecesText(const par2::CheckResult& result);
std::string RebuildQuestion(const par2::SetCheck& check);
std::string NotRebuildableText(const par2::SetCheck& check);
