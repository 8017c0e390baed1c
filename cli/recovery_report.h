// The command's words for a set checked against its recovery files: one line per piece that is not intact,
// the summary, and the rebuild.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recovery/piece_check.h"
#include "recovery/rebuild.h"

// "damaged: _Split#009: bytes 364416-728831 (1 of 4 slices)", "missing: _Split#004", ...
std::vector<std::string> PieceStateLines(const par2::SetCheck& check);
// "2 pieces damaged, 1 missing: the recovery files can rebuild them (needs 9 of 12 recovery slices)"
std::string RecoverySummary(const par2::SetCheck& check);
// "_Split#004, _Split#009": the pieces a rebuild writes.
std::string PiecesToRebuild(const par2::SetCheck& check);
// "rebuilt: _Split#009 (damaged original kept as _Split#009.damaged)"
std::vector<std::string> RebuiltLines(const par2::RebuildResult& result);
// Why a rebuild wrote nothing, or what went wrong.
std::string RebuildFailureText(const par2::RebuildResult& result, const par2::SetCheck& check);

class Console;
class Messenger;
// The set's pieces checked against the recovery files beside piecePath, with a progress line; empty,
// after telling why, on a file error or a stop.
std::optional<par2::CheckResult> CheckAgainstIndex(const std::string& piecePath, Console& console,
                                                   Messenger& messenger);
// Rebuilds with a progress line; false, after telling why, when nothing was rebuilt.
bool RebuildWithProgress(const par2::SetCheck& check, Console& console, Messenger& messenger);
