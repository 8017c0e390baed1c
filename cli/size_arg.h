// The piece size and count given on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "recovery/recovery_plan.h"

// The named sizes: a floppy disk, a CD, a DVD (4.7 GB as sold: 4700000000 bytes, not rounded),
// the largest file FAT32 holds, and a common mail attachment limit (25 MB).
constexpr int64_t kFloppyBytes = 1457664;
constexpr int64_t kCdBytes = 700LL * 1024 * 1024;
constexpr int64_t kDvdBytes = 4700000000LL;
constexpr int64_t kFat32Bytes = 4294967295LL;
constexpr int64_t kEmailBytes = 25000000LL;

// The most pieces a set can have is kMaxPieces; --count asks for at least two.
constexpr int kMinCount = 2;

// A parsed value, or the text that tells what is wrong with it.
template <typename T> using Parsed = std::variant<T, std::string>;

// Decimal bytes, optionally with K, M or G (powers of 1024, either letter case), or a preset name.
// Refuses 0, signs, blanks, fractions, other suffixes and values beyond 64 bits.
Parsed<int64_t> ParseSizeArg(const std::string& text);

// A number of pieces from kMinCount to kMaxPieces.
Parsed<int> ParseCountArg(const std::string& text);

// --recovery: pieces that may be lost or damaged (0 to kMaxPieces), or "P%" of the set (0% to 100%).
Parsed<RecoveryRequest> ParseRecoveryArg(const std::string& text);

// The split size that cuts prefixBytes (catstub image and header) plus fileSize bytes into count
// pieces of equal size, the last one shorter: the total divided by count, rounded up. When the total
// does not divide well (9 bytes in 4 pieces), fewer pieces come out, never more.
int64_t SplitSizeForCount(uint64_t prefixBytes, uint64_t fileSize, int count);
