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
// Rebuilds with a progress line; false, after telling why, when nothing was rebuilt.
bool RebuildWithProgress(const par2::SetCheck& check, Console& console, Messenger& messenger);
