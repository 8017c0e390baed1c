// JSON text for the command's --json output.
#pragma once

#include <string>

// A JSON string: quotes, backslashes and control characters escaped, UTF-8 as it is, and every byte
// that is not part of well-formed UTF-8 written as U+FFFD, so that the output is valid JSON for any name.
std::string JsonString(const std::string& text);
