// MD5, as recovery files record it for whole files, their first 16 KiB, slices and packets: the one
// scalar core (core/md5_core.h) on the unrolled steps that the vector lanes share (recovery/md5_steps.h).
// Measured as fast as the platform's own (nettle's assembly), so no platform call is made for it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/md5_core.h"

// One block into the state, the steps unrolled.
void Md5Block(uint32_t* state, const uint8_t* block);

using Md5 = Md5Hasher<Md5Block>;

Md5Digest Md5Of(const void* data, size_t len);

// count zero bytes into md5: the padding a slice's checksum counts up to the slice size.
void Md5Zeros(Md5& md5, uint64_t count);
