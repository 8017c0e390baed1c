// The split half's input rules: size steps, split count, split-size text.
#include "ui/split_inputs.h"

#include "split/piece_plan.h"

#include <limits>

std::optional<SizeStep> SizeStepAt(unsigned p) {
    if (p < kFirstSizeStep || p > kLastSizeStep)
        return std::nullopt;
    SizeStep step;
    if (p < 10) {
        step.label = std::to_string(p * 100) + "kB";
        step.size = static_cast<int32_t>(p * 102400);
    } else {
        step.label = std::to_string(p / 10) + "MB + " + std::to_string((p % 10) * 100) + "kB";
        step.size = static_cast<int32_t>((p / 10) * 1048576 + (p % 10) * 102400);
    }
    return step;
}

std::optional<int64_t> SplitCount(int64_t fileSize, int32_t splitSize, uint64_t stubBytes, uint64_t headerBytes) {
    if (fileSize < 0 || splitSize <= 0)
        return std::nullopt;
    const uint64_t prefix = stubBytes + headerBytes;
    if (stubBytes > 0 && static_cast<uint64_t>(splitSize) <= prefix)
        return std::nullopt;
    return static_cast<int64_t>(CountPieces(prefix, static_cast<uint64_t>(fileSize), splitSize));
}

std::string SplitCountText(std::optional<int64_t> count) {
    if (!count)
        return "# splits:";
    return "# splits: " + std::to_string(*count);
}

namespace {

// The white space of the C locale, as atoi skips it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

SplitSizeText ParseSplitSize(const std::string& text) {
    if (text.empty())
        return {SplitSizeKind::Empty, 0};
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate only as far as needed to know the value is too large; a long
    // run of digits must not overflow.
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kMax)
            return {SplitSizeKind::Refused, 0};
    }
    if (negative || value == 0)
        return {SplitSizeKind::Refused, 0};
    return {SplitSizeKind::Valid, static_cast<int32_t>(value)};
}
