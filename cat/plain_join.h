// The plain join: the listed files glued byte for byte into a new "File%i" output, without a check.
#pragma once

#include "cat/cat_files.h"

// Joins every entry whole into a name drawn from job.plainNameFormat that is neither an existing
// file nor an input. Reports its own outcomes; file errors are thrown as FileException.
void PlainCat(const CatJob& job, Messenger& messenger, CatResult& result);

// The format with its one "%i" replaced by number.
std::string FormatPlainName(const std::string& format, int number);
