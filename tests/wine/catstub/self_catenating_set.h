// Self-catenating split sets for the catstub tests, written with the project's own format code.
#pragma once

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

// catstub.exe as Windows sees it: from FENDRIK_BIN when set, else where this build put it.
std::string CatstubPath();
// The bytes of the built catstub.exe, read once.
const std::string& CatstubImage();

// The header the split writes for data under name: its CRC-32 as text, '#', name, ';'.
std::string HeaderFor(const std::string& name, const std::string& data);

// Writes "_Split#000.exe" (catstub image, header, first data) and the further
// pieces of splitSize bytes each into dir. Returns the piece names in piece order.
std::vector<std::string> WriteSet(const TempDir& dir, const std::string& header, const std::string& data,
                                  size_t splitSize, bool lastPieceFirst = false);
