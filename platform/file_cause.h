// Each back end maps its own error codes to the causes of a file exception.
#pragma once

#include <cstdint>

#include "platform/file.h"

FileCause CauseOfOsError(uint32_t osError);
