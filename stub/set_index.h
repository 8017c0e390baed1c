// The recovery index beside catstub's set, believed only when it describes this very set.
#pragma once

#include <cstdint>

#include "core/recovery_index.h"
#include "stub/stub_search.h"

// Reads folder's "_Split#.par2", or when that is lost or damaged, a volume of it ("_Split#.vol*.par2"):
// each carries the same critical packets. The index is used only when it is whole, describes every piece
// found, and agrees with the set on the first 16 KiB of the first piece (head, headLen bytes of
// catstub's own file) and of at least one further piece found, if there is one: an index left from
// another set must not name this set's pieces. Null when there is no index to use.
const RecoveryIndex* LoadSetIndex(const char* folder, const PieceSet& pieces, const uint8_t* head, uint32_t headLen);
