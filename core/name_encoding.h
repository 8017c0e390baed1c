// What a name's bytes are: ASCII, well-formed UTF-8, and how long the name is
// for Windows. Allocation-free, so that catstub shares it.
#pragma once

#include <cstddef>

// Every byte below 0x80: the same text in every code page.
bool IsAscii(const char* bytes, size_t len);

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsUtf8(const char* bytes, size_t len);

// The name's length in UTF-16 code units, the unit of Windows' 255-character
// limit for one name: counted from UTF-8 when it is UTF-8, else one per byte.
size_t Utf16Units(const char* bytes, size_t len);
