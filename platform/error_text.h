// The operating system's own text for an error code.
#pragma once

#include <cstdint>
#include <string>

// Used as the system gives it, line end included.
std::string SystemErrorText(uint32_t code);
