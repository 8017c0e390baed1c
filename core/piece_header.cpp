// Reading the piece header, shared by every reader in both programs.
#include "core/piece_header.h"

#include "core/name_bytes.h"
#include "platform/path_text.h"

namespace {

bool EqualsNoCase(const char* a, size_t len, const char* upper) {
    size_t i = 0;
    for (; i < len && upper[i]; ++i) {
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return i == len && upper[i] == 0;
}

// CON, PRN, AUX, NUL, COM0-9 and LPT0-9 name devices, with any extension.
bool IsDeviceName(const char* name, size_t len) {
    size_t base = 0;
    while (base < len && name[base] != '.')
        ++base;
    while (base > 0 && name[base - 1] == ' ')
        --base;
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (EqualsNoCase(name, base, device))
            return true;
    // Windows also takes the superscript digits 1, 2 and 3 as port numbers: one byte in Windows-1252
    // (0xB9, 0xB2, 0xB3), two in UTF-8 (0xC2 and the same byte).
    const auto superscript = [](unsigned char c) { return c == 0xB9 || c == 0xB2 || c == 0xB3; };
    bool portDigit = false;
    if (base == 4) {
        const unsigned char digit = static_cast<unsigned char>(name[3]);
        portDigit = (digit >= '0' && digit <= '9') || superscript(digit);
    } else if (base == 5) {
        portDigit = static_cast<unsigned char>(name[3]) == 0xC2 && superscript(static_cast<unsigned char>(name[4]));
    }
    return portDigit && (EqualsNoCase(name, 3, "COM") || EqualsNoCase(name, 3, "LPT"));
}

bool IsCrcText(const char* text, size_t len) {
    if (len == 0 || len > 8)
        return false;
    for (size_t i = 0; i < len; ++i)
        if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'A' && text[i] <= 'F')))
            return false;
    return true;
}

} // namespace

size_t RecordedNameStart(const char* path, size_t len) {
    size_t start = 0;
    for (size_t i = 0; i < len; ++i)
        if (IsPathSeparator(path[i]) || path[i] == ':')
            start = i + 1;
    return start;
}

bool IsPlainFileName(const char* name, size_t len) {
    // Windows' limit counts UTF-16 units: a UTF-8 name may have more bytes than that.
    if (len == 0 || Utf16Units(name, len) > 255)
        return false;
    if ((len == 1 && name[0] == '.') || (len == 2 && name[0] == '.' && name[1] == '.'))
        return false;
    for (size_t i = 0; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return false;
        default:
            break;
        }
    }
    // Windows drops trailing dots and blanks, so such a name would land elsewhere.
    if (name[len - 1] == '.' || name[len - 1] == ' ')
        return false;
    return !IsDeviceName(name, len);
}

HeaderStatus ReadPieceHeader(const uint8_t* window, size_t len, PieceHeader* out) {
    const char* bytes = reinterpret_cast<const char*>(window);
    *out = PieceHeader{};
    size_t i = 0;
    while (i < len && bytes[i] != '#')
        ++i;
    out->crc = bytes;
    out->crcLen = i;
    if (i == len)
        return HeaderStatus::NoName;
    const size_t nameStart = i + 1;
    size_t j = nameStart;
    while (j < len && bytes[j] != ';')
        ++j;
    out->name = bytes + nameStart;
    out->nameLen = j - nameStart;
    // Without its ';' the name may be cut by the window's edge: not a header. Every writer puts "%X"
    // digits before the '#': anything else is data that merely holds a '#' and a ';'.
    if (j == len || out->nameLen == 0 || !IsCrcText(bytes, i))
        return HeaderStatus::NoName;
    if (!IsPlainFileName(out->name, out->nameLen))
        return HeaderStatus::UnsafeName;
    out->dataOffset = j + 1;
    return HeaderStatus::Ok;
}

size_t FormatCrcText(uint32_t crc, char out[9]) {
    static const char kDigits[] = "0123456789ABCDEF";
    char reversed[8];
    size_t n = 0;
    do {
        reversed[n++] = kDigits[crc & 0xF];
        crc >>= 4;
    } while (crc != 0);
    for (size_t i = 0; i < n; ++i)
        out[i] = reversed[n - 1 - i];
    out[n] = 0;
    return n;
}
