// What the split checks in the folder it writes to before it writes anything: the large file not among
// the pieces there, and no pieces of an earlier split left there to mix with the new ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/messages.h"
#include "platform/find_files.h"

// The "_Split#nnn" and "_Split#000.exe" files and the recovery files (any letter case; folders, devices and
// pipes left out) of the current directory, where the split writes, in piece order.
std::vector<FoundFile> PiecesInCurrentDirectory();

// The existing piece that is the large file itself, by file identity, or nullptr.
const FoundFile* LargeFileAmong(const std::string& largeFile, const std::vector<FoundFile>& pieces);

// Asks once whether to delete the pieces found (default No) and deletes them on Yes. False when the
// user said No or a piece could not be deleted (after saying so): the split must not go on.
bool ClearLeftoverPieces(const std::vector<FoundFile>& pieces, Messenger& messenger);

// How a split that failed on the way ended: nothing written, or the pieces written deleted again.
Outcome SplitFailure(const std::string& what, int written);
