// The MD5 family against the platform's maintained implementation: nettle on POSIX, CNG on Windows.
#ifdef _WIN32
#include <windows.h>

#include <bcrypt.h>
#else
#include <nettle/md5.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/small_md5.h"
#include "recovery/md5.h"
#include "recovery/md5_feed.h"
#include "recovery/md5_lanes.h"
#include "tests/support/path_test.h"

namespace {

std::vector<uint8_t> RandomBytes(size_t len, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> bytes(len);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(rng());
    return bytes;
}

Md5Digest Reference(const uint8_t* data, size_t len) {
    Md5Digest d{};
#ifdef _WIN32
    BCRYPT_ALG_HANDLE provider = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptOpenAlgorithmProvider(&provider, BCRYPT_MD5_ALGORITHM, nullptr, 0) >= 0 &&
        BCryptCreateHash(provider, &hash, nullptr, 0, nullptr, 0, 0) >= 0) {
        BCryptHashData(hash, const_cast<PUCHAR>(data), static_cast<ULONG>(len), 0);
        BCryptFinishHash(hash, d.data(), static_cast<ULONG>(d.size()), 0);
    }
    if (hash)
        BCryptDestroyHash(hash);
    if (provider)
        BCryptCloseAlgorithmProvider(provider, 0);
#else
    md5_ctx ctx;
    md5_init(&ctx);
    md5_update(&ctx, len, data);
    md5_digest(&ctx, d.size(), d.data());
#endif
    return d;
}

// Fed in two parts, so that buffered and whole blocks meet; fed twice, since Final starts again empty.
template <class Hasher> void ExpectAgreesAcrossThePadding() {
    const std::vector<uint8_t> bytes = RandomBytes(9000, 8);
    Hasher hasher;
    for (size_t len : {0, 1, 55, 56, 57, 63, 64, 65, 119, 120, 128, 4096, 8999}) {
        for (int round = 0; round < 2; ++round) {
            hasher.Update(bytes.data(), len / 3);
            hasher.Update(bytes.data() + len / 3, len - len / 3);
            EXPECT_EQ(hasher.Final(), Reference(bytes.data(), len)) << len;
        }
    }
}

} // namespace

TEST(Md5, ScalarAndSmallAgreeWithTheReferenceAcrossThePadding) {
    ExpectAgreesAcrossThePadding<Md5>();
    ExpectAgreesAcrossThePadding<SmallMd5>();
    uint8_t digest[16];
    SmallMd5 small;
    small.Update("abc", 3);
    small.Final(digest);
    EXPECT_TRUE(std::equal(std::begin(digest), std::end(digest), Md5Of("abc", 3).begin()));
}

using Md5LanesPath = PathTest<md5lanes::Path>;

// Messages of every length around the padding's edges and a few longer, each cut at a random place into
// its two parts, more of them than any path has lanes, so lanes change messages at different times.
TEST_P(Md5LanesPath, MatchesTheReference) {
    std::mt19937 rng(5);
    const std::vector<uint8_t> bytes = RandomBytes(9000, 5);
    std::vector<Md5Message> messages;
    std::vector<Md5Digest> want;
    for (size_t len : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 4096, 8999}) {
        for (int k = 0; k < 2; ++k) {
            const size_t head = len == 0 ? 0 : rng() % (len + 1);
            const size_t from = rng() % (bytes.size() - len + 1);
            messages.push_back({bytes.data() + from, head, bytes.data() + from + head, len - head});
            want.push_back(Reference(bytes.data() + from, len));
        }
    }
    std::vector<Md5Digest> got(messages.size());
    GetParam().run(messages.data(), messages.size(), got.data());
    EXPECT_EQ(got, want);
}

// Streams side by side, every lane used and one short of it, several blocks of each at once.
TEST_P(Md5LanesPath, StreamsMatchTheReference) {
    const std::vector<uint8_t> bytes = RandomBytes(64 * 40, 6);
    for (size_t count : {GetParam().lanes, GetParam().lanes - 1}) {
        std::vector<Md5> hashers(count);
        std::vector<uint32_t*> states;
        std::vector<const uint8_t*> data;
        for (size_t i = 0; i < count; ++i) {
            hashers[i].Update(bytes.data() + 64 * i, 64);
            states.push_back(Md5HasherAccess::State(hashers[i]));
            data.push_back(bytes.data() + 64 * (i + 1));
        }
        GetParam().streams(states.data(), data.data(), count, 3);
        for (size_t i = 0; i < count; ++i) {
            Md5HasherAccess::Skip(hashers[i], 3);
            EXPECT_EQ(hashers[i].Final(), Reference(bytes.data() + 64 * i, 4 * 64)) << count << " lane " << i;
        }
    }
}

INSTANTIATE_EVERY_PATH(Md5LanesPath, md5lanes::Path, md5lanes::kPaths);

// More streams than any path has lanes, of different lengths, fed in parts that leave partial blocks.
TEST(Md5, SideBySideMatchesTheReference) {
    const std::vector<uint8_t> bytes = RandomBytes(20000, 7);
    constexpr size_t kStreams = 19;
    std::vector<Md5> hashers(kStreams);
    std::vector<Md5*> pointers;
    std::vector<size_t> fed(kStreams, 0);
    for (Md5& h : hashers)
        pointers.push_back(&h);
    for (size_t part : {100, 64 * 30, 7}) {
        std::vector<const uint8_t*> data;
        std::vector<size_t> lens;
        for (size_t i = 0; i < kStreams; ++i) {
            data.push_back(bytes.data() + fed[i]);
            lens.push_back(part + i * 13 % 200);
            fed[i] += lens.back();
        }
        Md5SideBySide(pointers.data(), data.data(), lens.data(), kStreams);
    }
    for (size_t i = 0; i < kStreams; ++i)
        EXPECT_EQ(hashers[i].Final(), Reference(bytes.data(), fed[i])) << "stream " << i;
}
