// Reading sizes and counts strictly: a typo must never become a different size.
#include "cli/size_arg.h"

#include <limits>

#include "core/piece_name.h"

namespace {

struct Preset {
    const char* name;
    int64_t bytes;
};

constexpr Preset kPresets[] = {
    {"floppy", kFloppyBytes}, {"cd", kCdBytes}, {"dvd", kDvdBytes}, {"fat32", kFat32Bytes}, {"email", kEmailBytes},
};

// The decimal digits of text, or nothing when text is empty, holds anything else, or exceeds the limit.
bool ParseDigits(const std::string& text, uint64_t limit, uint64_t* value) {
    if (text.empty())
        return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (limit - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    *value = v;
    return true;
}

std::string SizeHelp(const std::string& text) {
    return "size \"" + text +
           "\" is not a piece size: give bytes (1457664), a number with K, M or G (700M), or one of floppy, cd, dvd, "
           "fat32, email";
}

} // namespace

Parsed<int64_t> ParseSizeArg(const std::string& text) {
    for (const Preset& preset : kPresets)
        if (text == preset.name)
            return preset.bytes;
    std::string digits = text;
    uint64_t unit = 1;
    if (!digits.empty()) {
        switch (digits.back()) {
        case 'K':
        case 'k':
            unit = 1024;
            break;
        case 'M':
        case 'm':
            unit = 1024 * 1024;
            break;
        case 'G':
        case 'g':
            unit = 1024 * 1024 * 1024;
            break;
        default:
            break;
        }
        if (unit != 1)
            digits.pop_back();
    }
    constexpr uint64_t kLimit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    uint64_t value = 0;
    if (!digits.empty() && digits[0] == '-')
        return "size \"" + text + "\" is negative";
    if (!ParseDigits(digits, kLimit, &value)) {
        // All digits but too many of them: say so rather than call it garbage.
        if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos)
            return "size \"" + text + "\" is too large";
        return SizeHelp(text);
    }
    if (value == 0)
        return "size \"" + text + "\" is zero: a piece holds at least one byte";
    if (value > kLimit / unit)
        return "size \"" + text + "\" is too large";
    return static_cast<int64_t>(value * unit);
}

Parsed<int> ParseCountArg(const std::string& text) {
    uint64_t value = 0;
    if (!ParseDigits(text, std::numeric_limits<uint32_t>::max(), &value) || value < kMinCount ||
        value > static_cast<uint64_t>(kMaxPieces))
        return "count \"" + text + "\" is not a number of pieces from " + std::to_string(kMinCount) + " to " +
               std::to_string(kMaxPieces);
    return static_cast<int>(value);
}

int64_t SplitSizeForCount(uint64_t prefixBytes, uint64_t fileSize, int count) {
    const uint64_t total = prefixBytes + fileSize;
    const uint64_t n = static_cast<uint64_t>(count);
    return static_cast<int64_t>(total / n + (total % n != 0 ? 1 : 0));
}

Parsed<RecoveryRequest> ParseRecoveryArg(const std::string& text) {
    RecoveryRequest request;
    std::string digits = text;
    request.percent = !digits.empty() && digits.back() == '%';
    if (request.percent)
        digits.pop_back();
    const uint64_t most = request.percent ? 100 : static_cast<uint64_t>(kMaxPieces);
    uint64_t value = 0;
    if (!ParseDigits(digits, std::numeric_limits<uint32_t>::max(), &value) || value > most)
        return "recovery \"" + text + "\" is neither a number of pieces from 0 to " + std::to_string(kMaxPieces) +
               " nor a percentage from 0% to 100%";
    request.value = static_cast<uint32_t>(value);
    return request;
}
