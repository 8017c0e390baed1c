// Whether the current directory's volume can take what a job will write, decided before the first byte.
#pragma once

#include <cstdint>

#include "core/messages.h"

// False, after telling why, when the volume has less free space than totalBytes or its file system
// cannot hold a file of largestFile bytes. True when it can, or when the volume cannot be examined.
bool VolumeTakes(uint64_t totalBytes, uint64_t largestFile, Messenger& messenger);
