// The rules behind the split half's inputs: the up-down control's size steps,
// the split count, and which split-size texts are accepted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The default split size: a 1.44 MB floppy disk.
constexpr int32_t kFloppySplitSize = 1457664;
// The up-down control's range of size steps.
constexpr unsigned kFirstSizeStep = 1;
constexpr unsigned kLastSizeStep = 40;

struct SizeStep {
    std::string label; // as IDC_SIZE_STEP_LABEL shows it, e.g. "900kB" or "1MB + 400kB"
    int32_t size = 0;  // the split size in bytes
};

// Step p of the up-down control; empty for a position outside 1..40.
// Steps 1..9 count in 100 kB (102400 bytes), from 10 on in whole MB plus 100 kB steps,
// so they are not evenly spaced: step 9 is 921600 bytes, step 10 is 1048576.
std::optional<SizeStep> SizeStepAt(unsigned p);

// Pieces a split of fileSize bytes into splitSize-byte pieces writes, the last one
// possibly short; 0 for an empty file without header. The catstub image (stubBytes)
// and the header (headerBytes) count toward the first piece, as the split counts them.
// Empty when there is no size (-1), no valid split size (0 or less), or a
// self-catenating first piece would have no room for data (the split refuses that).
std::optional<int64_t> SplitCount(int64_t fileSize, int32_t splitSize, uint64_t stubBytes = 0,
                                  uint64_t headerBytes = 0);

// "# splits:" alone, or followed by the count.
std::string SplitCountText(std::optional<int64_t> count);

enum class SplitSizeKind {
    Empty,   // nothing typed: no split size, and nothing to complain about
    Refused, // 0, negative, or beyond the signed 32-bit range
    Valid,
};

struct SplitSizeText {
    SplitSizeKind kind = SplitSizeKind::Empty;
    int32_t size = 0; // set only when Valid
};

// Reads the split-size edit the way atoi does: leading white space, an optional
// sign, then the digits up to the first other character (" 100" and "100abc"
// both give 100). Values a split cannot use are refused instead of wrapping.
SplitSizeText ParseSplitSize(const std::string& text);
