#include <windows.h>

#include <bcrypt.h>

#include <cstring>
#include <new>

#include "recovery/md5.h"

namespace {

// One provider for the process, opened on first use; the system frees it at exit.
BCRYPT_ALG_HANDLE Provider() {
    static BCRYPT_ALG_HANDLE provider = [] {
        BCRYPT_ALG_HANDLE h = nullptr;
        if (BCryptOpenAlgorithmProvider(&h, BCRYPT_MD5_ALGORITHM, nullptr, 0) < 0)
            h = nullptr;
        return h;
    }();
    return provider;
}

struct State {
    BCRYPT_HASH_HANDLE hash = nullptr;
};

State* St(unsigned char* state) {
    return std::launder(reinterpret_cast<State*>(state));
}

// Windows 7 has no reusable hash objects: a fresh one per digest.
void Open(State* s) {
    if (Provider() == nullptr || BCryptCreateHash(Provider(), &s->hash, nullptr, 0, nullptr, 0, 0) < 0)
        throw std::bad_alloc();
}

} // namespace

Md5::Md5() {
    Open(new (state_) State);
}

Md5::~Md5() {
    if (St(state_)->hash)
        BCryptDestroyHash(St(state_)->hash);
}

void Md5::Update(const void* data, size_t len) {
    const auto* p = static_cast<const uint8_t*>(data);
    while (len > 0) { // CNG takes at most a ULONG at a time
        const ULONG n = len > 0x40000000u ? 0x40000000u : static_cast<ULONG>(len);
        BCryptHashData(St(state_)->hash, const_cast<PUCHAR>(p), n, 0);
        p += n;
        len -= n;
    }
}

Md5Digest Md5::Final() {
    Md5Digest d{};
    BCryptFinishHash(St(state_)->hash, d.data(), static_cast<ULONG>(d.size()), 0);
    BCryptDestroyHash(St(state_)->hash);
    St(state_)->hash = nullptr;
    Open(St(state_));
    return d;
}

Md5Digest Md5Of(const void* data, size_t len) {
    Md5 md5;
    md5.Update(data, len);
    return md5.Final();
}
