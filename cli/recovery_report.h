// The command's checks and rebuilds against the recovery files, with their progress line.
#pragma once

#include <optional>
#include <string>

#include "words/recovery_words.h"

class Console;
class Messenger;
// The set's pieces checked against the recovery files beside piecePath, with a progress line; empty,
// after telling why, on a file error or a stop.
std::optional<par2::CheckResult> CheckAgainstIndex(const std::string& piecePath, Console& console,
                                                   Messenger& messenger);
// The rebuilt files written under temporary names with a progress line; empty, after telling why, when
// nothing waits.
std::optional<par2::PreparedRebuild> PrepareWithProgress(const par2::SetCheck& check, par2::RebuildScope scope,
                                                         Console& console, Messenger& messenger);
// The waiting files under their names, each told; false, after telling what changed, when that failed.
bool CommitRebuild(par2::PreparedRebuild& prepared, const par2::SetCheck& check, Console& console,
                   Messenger& messenger);
// Both; false, after telling why, when the rebuild did not finish.
bool RebuildWithProgress(const par2::SetCheck& check, Console& console, Messenger& messenger);
