// Names of the pieces of a split set: "_Split#000" to "_Split#999".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/stub_image.h"

constexpr int kMaxPieces = 1000;
constexpr const char kFirstPieceName[] = "_Split#000";
constexpr const char kSelfCatenatingName[] = "_Split#000.exe";
constexpr const char kPiecePattern[] = "_Split#*";

// Name of piece n (0..999); empty for any other n.
std::string PieceName(int n);

// Writes PieceName(n) with its terminating zero into out (11 bytes); false for n outside 0..999.
// Allocation-free form for catstub.
bool FormatPieceName(int n, char out[11]);

// The one piece-name rule of every reader, catstub's too. Letter case does not count, as the
// Windows search matches names: "_split#000" and "_SPLIT#000.EXE" are first pieces.
struct PieceNameParts {
    int number = -1;             // 0..999; -1 when the name is no piece's
    bool selfCatenating = false; // "_Split#000.exe": the catstub image, then header and data
};
// "_Split#" and exactly three digits, or "_Split#000.exe"; any other name gives number -1.
PieceNameParts ParsePieceName(const char* name, size_t len);

// Where the header of a first piece begins: behind the catstub image of "_Split#000.exe", else at byte 0.
inline uint64_t DataAreaStart(const PieceNameParts& parts) {
    return parts.selfCatenating ? kStubImageSize : 0;
}

// The piece number of a name made of "_Split#" and exactly three digits (no ".exe"); -1 otherwise.
int PieceNumberOf(const char* name, size_t len);

// True for the recovery files of a set: "_Split#.par2" and "_Split#.volFIRST+COUNT.par2", any letter case.
bool IsRecoveryFileName(const char* name, size_t len);
