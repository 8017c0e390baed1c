// The window's steps with recovery files: checking a set's pieces before a join, asking, and rebuilding.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/job_progress.h"
#include "core/messages.h"

enum class PiecesBeforeJoin {
    Join,    // as they are: intact, or no recovery files to tell
    Rebuilt, // some were rebuilt: the set is to be found again
    Stop,    // not rebuildable, declined, failed or stopped: told, nothing joined
};

// Runs on the job's thread: checks the pieces of the set whose first piece is firstPiecePath against the
// recovery files beside it, and when some are damaged or missing asks (Yes by default) and rebuilds them,
// after the join's own refusals and its replace question (whose answer goes to replaceAnswer), so that a
// join refused leaves every piece as it was.
PiecesBeforeJoin CheckAndRebuildPieces(const std::string& firstPiecePath, const ProgressCallback& progress,
                                       Messenger& messenger, std::optional<bool>& replaceAnswer);
