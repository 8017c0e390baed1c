// Names between encodings: a name recorded in the system's ANSI code page made
// UTF-8, and a UTF-8 name made what the file functions take. Allocation-free,
// so that catstub shares it. Each writes the result with a terminating zero
// into out (cap bytes with the zero) and returns its length; 0 when the name
// cannot be converted or does not fit.
//
// Win32: the ANSI code page is the system locale's (GetLocaleInfoEx), not
// GetACP(), which the program's UTF-8 manifest changes; the file functions take
// GetACP(): UTF-8 where the manifest is honoured, the ANSI code page elsewhere.
// POSIX: names recorded in an ANSI code page are read as Windows-1252, the code
// page of Western Windows systems; file names are UTF-8.
#pragma once

#include <cstddef>

size_t AnsiToUtf8(const char* name, size_t len, char* out, size_t cap);
size_t Utf8ToFileName(const char* name, size_t len, char* out, size_t cap);
