// What the split checks before it writes anything: a name the header can carry, a split size that
// leaves a self-catenating first piece room for data, the large file not among the pieces in the
// folder written to, and no pieces of an earlier split left there to mix with the new ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/messages.h"
#include "platform/find_files.h"

// Why the header cannot record the large file's name (a name no reader would create), or empty.
std::optional<std::string> UnrecordableNameText(const std::string& largeFile);

// Why a self-catenating split with this size would put the whole file into its first piece, or
// empty: the stub image and the header come before the data and count toward the split size.
std::optional<std::string> SelfCatenatingSizeText(int64_t splitSize, uint64_t stubSize, uint64_t headerSize);

// The "_Split#nnn" and "_Split#000.exe" files and the recovery files (any letter case; folders, devices and
// pipes left out) of the current directory, where the split writes, in piece order.
std::vector<FoundFile> PiecesInCurrentDirectory();

// The existing piece that is the large file itself, by file identity, or nullptr.
const FoundFile* LargeFileAmong(const std::string& largeFile, const std::vector<FoundFile>& pieces);

// Asks once whether to delete the pieces found (default No) and deletes them on Yes. False when the
// user said No or a piece could not be deleted (after saying so): the split must not go on.
bool ClearLeftoverPieces(const std::vector<FoundFile>& pieces, Messenger& messenger);
