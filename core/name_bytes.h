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

// The longest name one folder entry takes on every file system the sets travel on, in bytes.
constexpr size_t kMaxNameBytes = 255;

// What a join's output is called until it is complete and checked: "name.partial".
constexpr char kPartialSuffix[] = ".partial";

// The one rule for a temporary name (the join's "name.partial"): how many bytes of name to keep so
// that they and suffixLen more bytes stay within kMaxNameBytes, never cutting a UTF-8 character.
size_t KeptBeforeSuffix(const char* name, size_t len, size_t suffixLen);

// The longest start of bytes (at most len) that is well-formed UTF-8, and the bytes it covers.
size_t Utf8PrefixLength(const char* bytes, size_t len);
