// MD5 in vector lanes: every lane runs the same 64 steps on a block of its own message, so four (SSE2)
// or eight (AVX2) messages take about the time of one. A lane whose message ends takes the next one.
#include "recovery/md5_lanes.h"

#include <cstring>

namespace md5lanes {
namespace {

constexpr uint32_t kInit[4] = {0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u};

constexpr uint32_t kSine[64] = {
    0xd76aa478u, 0xe8c7b756u, 0x242070dbu, 0xc1bdceeeu, 0xf57c0fafu, 0x4787c62au, 0xa8304613u, 0xfd469501u,
    0x698098d8u, 0x8b44f7afu, 0xffff5bb1u, 0x895cd7beu, 0x6b901122u, 0xfd987193u, 0xa679438eu, 0x49b40821u,
    0xf61e2562u, 0xc040b340u, 0x265e5a51u, 0xe9b6c7aau, 0xd62f105du, 0x02441453u, 0xd8a1e681u, 0xe7d3fbc8u,
    0x21e1cde6u, 0xc33707d6u, 0xf4d50d87u, 0x455a14edu, 0xa9e3e905u, 0xfcefa3f8u, 0x676f02d9u, 0x8d2a4c8au,
    0xfffa3942u, 0x8771f681u, 0x6d9d6122u, 0xfde5380cu, 0xa4beea44u, 0x4bdecfa9u, 0xf6bb4b60u, 0xbebfbc70u,
    0x289b7ec6u, 0xeaa127fau, 0xd4ef3085u, 0x04881d05u, 0xd9d4d039u, 0xe6db99e5u, 0x1fa27cf8u, 0xc4ac5665u,
    0xf4292244u, 0x432aff97u, 0xab9423a7u, 0xfc93a039u, 0x655b59c3u, 0x8f0ccc92u, 0xffeff47du, 0x85845dd1u,
    0x6fa87e4fu, 0xfe2ce6e0u, 0xa3014314u, 0x4e0811a1u, 0xf7537e82u, 0xbd3af235u, 0x2ad7d2bbu, 0xeb86d391u,
};

// One lane's message as MD5 sees it: whole 64-byte blocks, the padding and the length included.
class Feed {
public:
    void Start(const Md5Message& message) {
        message_ = message;
        total_ = message.headLen + message.tailLen;
        blocks_ = (total_ + 9 + 63) / 64;
        next_ = 0;
    }
    bool Ended() const { return next_ == blocks_; }

    // The next block: in place where the message has it whole, else put together here.
    const uint8_t* Next() {
        const uint64_t at = uint64_t{next_++} * 64;
        const Md5Message& m = message_;
        if (at + 64 <= m.headLen)
            return m.head + at;
        if (at >= m.headLen && at + 64 <= total_)
            return m.tail + (at - m.headLen);
        std::memset(block_, 0, sizeof block_);
        size_t filled = 0;
        if (at < m.headLen) {
            filled = static_cast<size_t>(m.headLen - at < 64 ? m.headLen - at : 64);
            std::memcpy(block_, m.head + at, filled);
        }
        if (filled < 64 && at + filled < total_) {
            const uint64_t from = at + filled - m.headLen;
            const size_t n =
                static_cast<size_t>(total_ - (at + filled) < 64 - filled ? total_ - (at + filled) : 64 - filled);
            std::memcpy(block_ + filled, m.tail + from, n);
            filled += n;
        }
        if (at <= total_ && total_ < at + 64)
            block_[total_ - at] = 0x80;
        if (Ended()) {
            const uint64_t bits = total_ * 8;
            for (int i = 0; i < 8; ++i)
                block_[56 + i] = static_cast<uint8_t>(bits >> (8 * i));
        }
        return block_;
    }

private:
    Md5Message message_;
    uint64_t total_ = 0;
    uint64_t blocks_ = 0;
    uint64_t next_ = 0;
    uint8_t block_[64];
};

// Everything below is inlined into the paths' entries, each built for its own vectors: no vector ever
// crosses a call, whatever the warning about their calling convention says.
#pragma GCC diagnostic ignored "-Wpsabi"

template <class V, int S> __attribute__((always_inline)) inline V Rotate(V x) {
    return (x << S) | (x >> (32 - S));
}

// One step of round R (0..3) on step i: the functions F, G, H and I, and the message word each takes.
template <class V, int R, int I, int S>
__attribute__((always_inline)) inline void Step(V& a, V b, V c, V d, const V* m) {
    V f;
    int g;
    if (R == 0) {
        f = d ^ (b & (c ^ d));
        g = I;
    } else if (R == 1) {
        f = c ^ (d & (b ^ c));
        g = (5 * I + 1) % 16;
    } else if (R == 2) {
        f = b ^ c ^ d;
        g = (3 * I + 5) % 16;
    } else {
        f = c ^ (b | ~d);
        g = (7 * I) % 16;
    }
    a = b + Rotate<V, S>(a + f + (m[g] + kSine[I]));
}

// Four steps of round R from step I, with the round's four rotations.
template <class V, int R, int I, int S0, int S1, int S2, int S3>
__attribute__((always_inline)) inline void Steps(V& a, V& b, V& c, V& d, const V* m) {
    Step<V, R, I, S0>(a, b, c, d, m);
    Step<V, R, I + 1, S1>(d, a, b, c, m);
    Step<V, R, I + 2, S2>(c, d, a, b, m);
    Step<V, R, I + 3, S3>(b, c, d, a, m);
}

template <class V, int R, int S0, int S1, int S2, int S3>
__attribute__((always_inline)) inline void Round(V& a, V& b, V& c, V& d, const V* m) {
    Steps<V, R, 16 * R, S0, S1, S2, S3>(a, b, c, d, m);
    Steps<V, R, 16 * R + 4, S0, S1, S2, S3>(a, b, c, d, m);
    Steps<V, R, 16 * R + 8, S0, S1, S2, S3>(a, b, c, d, m);
    Steps<V, R, 16 * R + 12, S0, S1, S2, S3>(a, b, c, d, m);
}

// Every lane's state after one more block of its message.
template <class V, int N> __attribute__((always_inline)) inline void Compress(V* state, const uint8_t* const* blocks) {
    V m[16];
    for (int w = 0; w < 16; ++w) {
        uint32_t words[N];
        for (int lane = 0; lane < N; ++lane)
            std::memcpy(&words[lane], blocks[lane] + 4 * w, 4); // little-endian, as MD5 reads its words
        std::memcpy(&m[w], words, sizeof m[w]);
    }
    V a = state[0], b = state[1], c = state[2], d = state[3];
    Round<V, 0, 7, 12, 17, 22>(a, b, c, d, m);
    Round<V, 1, 5, 9, 14, 20>(a, b, c, d, m);
    Round<V, 2, 4, 11, 16, 23>(a, b, c, d, m);
    Round<V, 3, 6, 10, 15, 21>(a, b, c, d, m);
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

template <class V, int N>
__attribute__((always_inline)) inline void RunLanes(const Md5Message* messages, size_t count, Md5Digest* digests) {
    static const uint8_t kIdle[64] = {}; // what a lane without a message hashes, for nothing
    Feed feeds[N];
    size_t owner[N];
    bool busy[N] = {};
    V state[4] = {};
    size_t next = 0;
    auto start = [&](int lane) {
        busy[lane] = next < count;
        if (!busy[lane])
            return;
        owner[lane] = next;
        feeds[lane].Start(messages[next++]);
        for (int k = 0; k < 4; ++k)
            state[k][lane] = kInit[k];
    };
    for (int lane = 0; lane < N; ++lane)
        start(lane);
    for (;;) {
        const uint8_t* blocks[N];
        bool any = false;
        for (int lane = 0; lane < N; ++lane) {
            blocks[lane] = busy[lane] ? feeds[lane].Next() : kIdle;
            any = any || busy[lane];
        }
        if (!any)
            return;
        Compress<V, N>(state, blocks);
        for (int lane = 0; lane < N; ++lane) {
            if (!busy[lane] || !feeds[lane].Ended())
                continue;
            uint8_t* out = digests[owner[lane]].data();
            for (int k = 0; k < 4; ++k) {
                const uint32_t word = state[k][lane];
                for (int i = 0; i < 4; ++i)
                    out[4 * k + i] = static_cast<uint8_t>(word >> (8 * i));
            }
            start(lane);
        }
    }
}

} // namespace

void RunOneByOne(const Md5Message* messages, size_t count, Md5Digest* digests) {
    Md5 md5;
    for (size_t i = 0; i < count; ++i) {
        md5.Update(messages[i].head, messages[i].headLen);
        md5.Update(messages[i].tail, messages[i].tailLen);
        digests[i] = md5.Final();
    }
}

typedef uint32_t Lanes4 __attribute__((vector_size(16)));
typedef uint32_t Lanes8 __attribute__((vector_size(32)));

__attribute__((VECTOR_ALIGN_STACK target("sse2"))) void RunSse2(const Md5Message* messages, size_t count,
                                                                Md5Digest* digests) {
    RunLanes<Lanes4, 4>(messages, count, digests);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void RunAvx2(const Md5Message* messages, size_t count,
                                                                Md5Digest* digests) {
    RunLanes<Lanes8, 8>(messages, count, digests);
}

} // namespace md5lanes

void Md5Many(const Md5Message* messages, size_t count, Md5Digest* digests) {
    // As few rounds as the widest path takes, on the narrowest path that does it in as few: a lane left idle
    // costs about as much as one at work, and narrower lanes run faster.
    const md5lanes::Path* chosen = nullptr;
    size_t fewest = 0;
    for (const md5lanes::Path& path : md5lanes::kPaths) {
        if (!path.available())
            continue;
        const size_t rounds = (count + path.lanes - 1) / path.lanes;
        if (!chosen || rounds <= fewest) {
            chosen = &path;
            fewest = rounds;
        }
    }
    chosen->run(messages, count, digests);
}

size_t Md5Lanes() {
    static const size_t lanes = [] {
        for (const md5lanes::Path& path : md5lanes::kPaths)
            if (path.available())
                return path.lanes;
        return size_t{1};
    }();
    return lanes;
}
