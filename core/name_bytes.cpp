// Recognising ASCII and UTF-8 names.
#include "core/name_bytes.h"

namespace {

// Length of the UTF-8 sequence at bytes (at most len long); 0 when it is not well formed.
size_t SequenceLength(const unsigned char* bytes, size_t len) {
    const unsigned char lead = bytes[0];
    if (lead < 0x80)
        return 1;
    size_t count;
    unsigned char low = 0x80;  // bounds of the second byte, which rule out
    unsigned char high = 0xBF; // overlong forms, surrogates and values past U+10FFFF
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (len < count || bytes[1] < low || bytes[1] > high)
        return 0;
    for (size_t i = 2; i < count; ++i)
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    return count;
}

} // namespace

bool IsAscii(const char* bytes, size_t len) {
    for (size_t i = 0; i < len; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    return true;
}

bool IsUtf8(const char* bytes, size_t len) {
    return Utf8PrefixLength(bytes, len) == len;
}

size_t KeptBeforeSuffix(const char* name, size_t len, size_t suffixLen) {
    if (len + suffixLen <= kMaxNameBytes)
        return len;
    size_t kept = suffixLen < kMaxNameBytes ? kMaxNameBytes - suffixLen : 0;
    while (kept > 0 && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    return kept;
}

size_t Utf8PrefixLength(const char* bytes, size_t len) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < len) {
        const size_t n = SequenceLength(p + i, len - i);
        if (n == 0)
            break;
        i += n;
    }
    return i;
}

size_t Utf16Units(const char* bytes, size_t len) {
    if (!IsUtf8(bytes, len))
        return len;
    size_t units = 0;
    for (size_t i = 0; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 || c >= 0xC0)
            units += c >= 0xF0 ? 2 : 1; // a four-byte sequence is a surrogate pair
    }
    return units;
}
