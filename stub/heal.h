// catstub's rebuild of lost and damaged pieces from the recovery files beside its set, before the join:
// every piece checked slice by slice, the user asked once, each piece rebuilt under a temporary name and
// checked against its recorded MD5, a damaged original kept under "NAME.damaged".
#pragma once

#include "core/recovery_index.h"
#include "stub/stub_search.h"

enum class HealOutcome {
    Whole,   // nothing to rebuild, or nothing catstub can rebuild: the join goes on as it would have
    Rebuilt, // pieces were rebuilt: the folder is to be searched again
    Stopped, // refused or cancelled, after telling the user; nothing was written
    Failed,  // a rebuild failed after it began, as the user was told
};

// self: catstub's own file (piece 0); folder ends in '\\'.
HealOutcome HealSet(const char* self, const char* folder, const PieceSet& pieces, const RecoveryIndex& index);
