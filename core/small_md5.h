// MD5 small rather than fast: catstub checks the recovery index's packets and the pieces' first 16 KiB
// with it.
#pragma once

#include "core/md5_core.h"

// One block into the state: the 64 steps as one loop.
void SmallMd5Block(uint32_t* state, const uint8_t* block);

using SmallMd5 = Md5Hasher<SmallMd5Block>;
