// Piece names: "_Split#" and three digits.
#include "core/piece_name.h"

bool FormatPieceName(int n, char out[11]) {
    if (n < 0 || n >= kMaxPieces)
        return false;
    for (int i = 0; i < 7; ++i)
        out[i] = kFirstPieceName[i];
    out[7] = static_cast<char>('0' + n / 100);
    out[8] = static_cast<char>('0' + n / 10 % 10);
    out[9] = static_cast<char>('0' + n % 10);
    out[10] = 0;
    return true;
}

std::string PieceName(int n) {
    char name[11];
    return FormatPieceName(n, name) ? std::string(name) : std::string();
}

PieceNameParts ParsePieceName(const char* name, size_t len) {
    static const char kExe[] = ".exe";
    PieceNameParts parts;
    if (len == 10) {
        parts.number = PieceNumberOf(name, len);
        return parts;
    }
    if (len != 14 || PieceNumberOf(name, 10) != 0)
        return parts;
    for (int i = 0; i < 4; ++i) {
        char c = name[10 + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kExe[i])
            return parts;
    }
    parts.number = 0;
    parts.selfCatenating = true;
    return parts;
}

int PieceNumberOf(const char* name, size_t len) {
    static const char kPrefix[] = "_split#";
    if (len != 10)
        return -1;
    for (int i = 0; i < 7; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kPrefix[i])
            return -1;
    }
    int number = 0;
    for (int i = 7; i < 10; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

namespace {

// name[at..] begins with text, ASCII letters in any case; at is moved past it.
bool SkipText(const char* name, size_t len, size_t& at, const char* text) {
    for (; *text; ++text, ++at) {
        if (at == len)
            return false;
        char c = name[at];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        const char want = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != want)
            return false;
    }
    return true;
}

bool SkipDigits(const char* name, size_t len, size_t& at) {
    const size_t from = at;
    while (at < len && name[at] >= '0' && name[at] <= '9')
        ++at;
    return at > from;
}

} // namespace

bool IsRecoveryFileName(const char* name, size_t len) {
    size_t at = 0;
    if (!SkipText(name, len, at, "_Split#."))
        return false;
    const size_t afterBase = at;
    if (SkipText(name, len, at, "par2") && at == len)
        return true;
    at = afterBase;
    return SkipText(name, len, at, "vol") && SkipDigits(name, len, at) && SkipText(name, len, at, "+") &&
           SkipDigits(name, len, at) && SkipText(name, len, at, ".par2") && at == len;
}
