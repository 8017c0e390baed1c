#include "recovery/md5.h"

#include "recovery/md5_steps.h"

void Md5Block(uint32_t* state, const uint8_t* block) {
    md5::Compress<uint32_t, 1>(state, &block);
}

Md5Digest Md5Of(const void* data, size_t len) {
    Md5 md5;
    md5.Update(data, len);
    return md5.Final();
}
