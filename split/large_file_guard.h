// Whether the large file is itself one of the pieces its split would create:
// creating that piece would empty the file before it is read.
#pragma once

#include <cstdint>
#include <string>

// True when largeFile names, in currentDir, one of the first pieceCount pieces
// ("_Split#000.exe" for the first when selfCatenating). Names and folders are
// compared without regard to case or to '/' against '\\', as Windows resolves them.
bool IsAmongNewPieces(const std::string& largeFile, uint64_t pieceCount, bool selfCatenating,
                      const std::string& currentDir);
