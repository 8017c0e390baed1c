// Name encodings on POSIX: file names are UTF-8, and a name recorded in an
// ANSI code page is read as Windows-1252.
#include "platform/name_conversion.h"

#include <cstdint>

namespace {

// Windows-1252's 0x80 to 0x9F; the five bytes it leaves undefined keep their
// C1 control value, as Windows' own conversion does.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

uint16_t Windows1252(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

} // namespace

size_t AnsiToUtf8(const char* name, size_t len, char* out, size_t cap) {
    size_t n = 0;
    for (size_t i = 0; i < len; ++i) {
        const uint16_t c = Windows1252(static_cast<unsigned char>(name[i]));
        const size_t need = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (n + need >= cap)
            return 0;
        if (need == 1) {
            out[n++] = static_cast<char>(c);
        } else if (need == 2) {
            out[n++] = static_cast<char>(0xC0 | (c >> 6));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out[n++] = static_cast<char>(0xE0 | (c >> 12));
            out[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[n++] = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (n >= cap)
        return 0;
    out[n] = 0;
    return n;
}

size_t Utf8ToFileName(const char* name, size_t len, char* out, size_t cap) {
    if (len >= cap)
        return 0;
    for (size_t i = 0; i < len; ++i)
        out[i] = name[i];
    out[len] = 0;
    return len;
}
