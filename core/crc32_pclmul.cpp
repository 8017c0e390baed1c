// CRC-32 by carry-less multiplication (PCLMULQDQ), chosen at run time.
#include "core/crc32.h"

bool Crc32HavePclmul() { return false; }

uint32_t Crc32Pclmul(uint32_t reg, const uint8_t* data, size_t len) { return Crc32Slice16(reg, data, len); }
