// Paths catstub builds in fixed buffers: its own file, its folder, and names in that folder.
#pragma once

#include <cstddef>

#include "platform/path_text.h"

// Longer paths than this are refused; the ANSI file calls take no more anyway.
constexpr size_t kStubPathSize = 1024;

// catstub's own file as the system started it, and its folder with the trailing '\\'.
// False when the path cannot be had or is too long.
bool FindOwnFile(char (&self)[kStubPathSize], char (&folder)[kStubPathSize]);
