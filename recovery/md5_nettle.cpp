#include <nettle/md5.h>

#include <new>

#include "recovery/md5.h"

static_assert(sizeof(md5_ctx) <= 160, "nettle's MD5 context fits the inline state");

namespace {
md5_ctx* Ctx(unsigned char* state) {
    return std::launder(reinterpret_cast<md5_ctx*>(state));
}
} // namespace

Md5::Md5() {
    md5_init(new (state_) md5_ctx);
}

Md5::~Md5() = default;

void Md5::Update(const void* data, size_t len) {
    md5_update(Ctx(state_), len, static_cast<const uint8_t*>(data));
}

Md5Digest Md5::Final() {
    Md5Digest d;
    md5_digest(Ctx(state_), d.size(), d.data()); // also starts the context again
    return d;
}

Md5Digest Md5Of(const void* data, size_t len) {
    Md5 md5;
    md5.Update(data, len);
    return md5.Final();
}
