// Names of the pieces of a split set: "_Split#000" to "_Split#999".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kMaxPieces = 1000;
constexpr const char kFirstPieceName[] = "_Split#000";
constexpr const char kSelfCatenatingName[] = "_Split#000.exe";
constexpr const char kPiecePattern[] = "_Split#*";

// Name of piece n (0..999); empty for any other n.
std::string PieceName(int n);

// Writes PieceName(n) with its terminating zero into out (11 bytes); false for n outside 0..999.
// Allocation-free form for catstub.
bool FormatPieceName(int n, char out[11]);

// The piece number of a name made of "_Split#" (any letter case, as the Windows
// search matches it) and exactly three digits; -1 for any other name.
int PieceNumberOf(const char* name, size_t len);

// True for "_Split#000.exe" in any letter case, as the Windows search matches it.
bool IsSelfCatenatingName(const char* name, size_t len);

// True for the recovery files of a set: "_Split#.par2" and "_Split#.volFIRST+COUNT.par2", any letter case.
bool IsRecoveryFileName(const char* name, size_t len);
