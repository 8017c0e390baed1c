// MD5 in vector lanes: every lane runs the same 64 steps on a block of its own message, so four (SSE2)
// or eight (AVX2) messages take about the time of one. A lane whose message ends takes the next one.
#include "recovery/md5_lanes.h"

#include <cstring>
#include <utility>

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
        // G as two parts without common bits: the one without b goes into the sum before b is known,
        // which takes an operation off the chain of steps.
        g = (5 * I + 1) % 16;
        if constexpr (sizeof(V) == 4) {
            a = b + Rotate<V, S>(a + (m[g] + kSine[I]) + (c & ~d) + (d & b));
            return;
        }
        f = c ^ (d & (b ^ c));
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

// The message words of a block of every lane: m[w] holds word w of each. Four or eight lanes go by a
// transpose in registers, which leaves the load and store units to a stream riding along.
template <class V, int N> __attribute__((always_inline)) inline void LoadWords(V* m, const uint8_t* const* blocks) {
    if constexpr (N == 4 && sizeof(V) == 16) {
        typedef int Order __attribute__((vector_size(16)));
        for (int w = 0; w < 16; w += 4) {
            V r[4];
            for (int lane = 0; lane < 4; ++lane)
                std::memcpy(&r[lane], blocks[lane] + 4 * w, 16); // little-endian, as MD5 reads its words
            const V t0 = __builtin_shuffle(r[0], r[1], Order{0, 4, 1, 5});
            const V t1 = __builtin_shuffle(r[0], r[1], Order{2, 6, 3, 7});
            const V t2 = __builtin_shuffle(r[2], r[3], Order{0, 4, 1, 5});
            const V t3 = __builtin_shuffle(r[2], r[3], Order{2, 6, 3, 7});
            m[w] = __builtin_shuffle(t0, t2, Order{0, 1, 4, 5});
            m[w + 1] = __builtin_shuffle(t0, t2, Order{2, 3, 6, 7});
            m[w + 2] = __builtin_shuffle(t1, t3, Order{0, 1, 4, 5});
            m[w + 3] = __builtin_shuffle(t1, t3, Order{2, 3, 6, 7});
        }
    } else if constexpr (N == 8 && sizeof(V) == 32) {
        // 8 x 8 words: pairs of words within each half, then pairs of pairs, then the halves.
        typedef int Order __attribute__((vector_size(32)));
        for (int w = 0; w < 16; w += 8) {
            V r[8], t[8], u[8];
            for (int lane = 0; lane < 8; ++lane)
                std::memcpy(&r[lane], blocks[lane] + 4 * w, 32);
            for (int k = 0; k < 8; k += 2) {
                t[k] = __builtin_shuffle(r[k], r[k + 1], Order{0, 8, 1, 9, 4, 12, 5, 13});
                t[k + 1] = __builtin_shuffle(r[k], r[k + 1], Order{2, 10, 3, 11, 6, 14, 7, 15});
            }
            for (int k = 0; k < 8; k += 4) {
                u[k] = __builtin_shuffle(t[k], t[k + 2], Order{0, 1, 8, 9, 4, 5, 12, 13});
                u[k + 1] = __builtin_shuffle(t[k], t[k + 2], Order{2, 3, 10, 11, 6, 7, 14, 15});
                u[k + 2] = __builtin_shuffle(t[k + 1], t[k + 3], Order{0, 1, 8, 9, 4, 5, 12, 13});
                u[k + 3] = __builtin_shuffle(t[k + 1], t[k + 3], Order{2, 3, 10, 11, 6, 7, 14, 15});
            }
            for (int k = 0; k < 4; ++k) {
                m[w + k] = __builtin_shuffle(u[k], u[k + 4], Order{0, 1, 2, 3, 8, 9, 10, 11});
                m[w + k + 4] = __builtin_shuffle(u[k], u[k + 4], Order{4, 5, 6, 7, 12, 13, 14, 15});
            }
        }
    } else {
        for (int w = 0; w < 16; ++w) {
            uint32_t words[N];
            for (int lane = 0; lane < N; ++lane)
                std::memcpy(&words[lane], blocks[lane] + 4 * w, 4);
            std::memcpy(&m[w], words, sizeof m[w]);
        }
    }
}

// Every lane's state after one more block of its message. With V one word and N 1: a plain MD5 block.
template <class V, int N> __attribute__((always_inline)) inline void Compress(V* state, const uint8_t* const* blocks) {
    V m[16];
    LoadWords<V, N>(m, blocks);
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

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

// Step K (0..63) alone, on the state words x as that step names them.
template <class V, int K> __attribute__((always_inline)) inline void OneStep(V* x, const V* m) {
    constexpr int j = K % 4;
    Step<V, K / 16, K, kShift[K / 16][j]>(x[(4 - j) % 4], x[(5 - j) % 4], x[(6 - j) % 4], x[(7 - j) % 4], m);
}

// One block of every lane and N blocks of a stream, their steps interleaved so that the lanes' vector
// work fills the time the stream's steps spend waiting on each other: a lane's step after every N of
// the stream's.
template <class V, int N> struct Stitched {
    V x[4];
    V m[16];
    uint32_t* s; // the stream's state
    uint32_t y[4];
    uint32_t w[16];
    const uint8_t* stream;

    template <int T> __attribute__((always_inline)) inline void Do() {
        constexpr int b = T / 64, t = T % 64;
        if constexpr (t == 0) {
            std::memcpy(w, stream + 64 * b, 64);
            for (int k = 0; k < 4; ++k)
                y[k] = s[k];
        }
        OneStep<uint32_t, t>(y, w);
        if constexpr (t == 63)
            for (int k = 0; k < 4; ++k)
                s[k] += y[k];
        if constexpr (T % N == N - 1)
            OneStep<V, T / N>(x, m);
    }
    template <int... T> __attribute__((always_inline)) inline void All(std::integer_sequence<int, T...>) {
        (Do<T>(), ...);
    }
};

template <class V, int N>
__attribute__((always_inline)) inline void CompressStitched(V* state, const uint8_t* const* blocks, uint32_t* stream,
                                                           const uint8_t* streamBlocks) {
    Stitched<V, N> run;
    LoadWords<V, N>(run.m, blocks);
    for (int k = 0; k < 4; ++k)
        run.x[k] = state[k];
    run.s = stream;
    run.stream = streamBlocks;
    run.All(std::make_integer_sequence<int, 64 * N>());
    for (int k = 0; k < 4; ++k)
        state[k] += run.x[k];
}

void CompressOne(uint32_t* state, const uint8_t* block) {
    Compress<uint32_t, 1>(state, &block);
}

} // namespace
} // namespace md5lanes

struct Md5StreamAccess {
    static uint32_t* State(Md5Stream& s) { return s.state_; }
    static void Skip(Md5Stream& s, size_t blocks) { s.length_ += 64 * blocks; }
    static size_t Buffered(const Md5Stream& s) { return static_cast<size_t>(s.length_ % 64); }
};

void Md5Stream::Update(const uint8_t* data, size_t len) {
    const size_t have = static_cast<size_t>(length_ % 64);
    length_ += len;
    if (have > 0) {
        const size_t take = len < 64 - have ? len : 64 - have;
        std::memcpy(buffer_ + have, data, take);
        if (have + take < 64)
            return;
        md5lanes::CompressOne(state_, buffer_);
        data += take;
        len -= take;
    }
    for (; len >= 64; data += 64, len -= 64)
        md5lanes::CompressOne(state_, data);
    if (len > 0)
        std::memcpy(buffer_, data, len);
}

Md5Digest Md5Stream::Final() {
    const uint64_t bits = length_ * 8;
    static const uint8_t kPad[64] = {0x80};
    const size_t have = static_cast<size_t>(length_ % 64);
    Update(kPad, have < 56 ? 56 - have : 120 - have);
    uint8_t tail[8];
    for (int i = 0; i < 8; ++i)
        tail[i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(tail, 8);
    Md5Digest out;
    for (int k = 0; k < 4; ++k)
        for (int i = 0; i < 4; ++i)
            out[4 * k + i] = static_cast<uint8_t>(state_[k] >> (8 * i));
    *this = Md5Stream();
    return out;
}

namespace md5lanes {
namespace {

// Walks the bytes to feed along: hands out whole blocks in place for the lanes to carry, and feeds the
// odd bytes around them (a partial block, a part too short to ride along) the plain way.
class AlongCursor {
public:
    AlongCursor(const Md5Along* along, size_t count) : along_(along), count_(count) { Load(); }

    // blocks whole blocks of the current stream, whose state goes in *state; null when none is left.
    const uint8_t* Next(size_t blocks, uint32_t** state) {
        while (at_ < count_) {
            Md5Stream& stream = *along_[at_].stream;
            if (const size_t have = Md5StreamAccess::Buffered(stream); have > 0 && len_ > 0) {
                const size_t take = len_ < 64 - have ? len_ : 64 - have;
                stream.Update(data_, take);
                data_ += take;
                len_ -= take;
            }
            if (Md5StreamAccess::Buffered(stream) == 0 && len_ >= 64 * blocks) {
                const uint8_t* at = data_;
                data_ += 64 * blocks;
                len_ -= 64 * blocks;
                Md5StreamAccess::Skip(stream, blocks);
                *state = Md5StreamAccess::State(stream);
                return at;
            }
            stream.Update(data_, len_);
            ++at_;
            Load();
        }
        return nullptr;
    }
    void Rest() {
        for (; at_ < count_; ++at_, Load())
            along_[at_].stream->Update(data_, len_);
    }

private:
    void Load() {
        if (at_ < count_) {
            data_ = along_[at_].data;
            len_ = along_[at_].len;
        }
    }
    const Md5Along* along_;
    size_t count_;
    size_t at_ = 0;
    const uint8_t* data_ = nullptr;
    size_t len_ = 0;
};

template <class V, int N>
__attribute__((always_inline)) inline void RunLanes(const Md5Message* messages, size_t count, Md5Digest* digests,
                                                    const Md5Along* along, size_t alongCount) {
    static const uint8_t kIdle[64] = {}; // what a lane without a message hashes, for nothing
    AlongCursor cursor(along, alongCount);
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
            break;
        uint32_t* streamState = nullptr;
        if (const uint8_t* streamBlocks = cursor.Next(N, &streamState))
            CompressStitched<V, N>(state, blocks, streamState, streamBlocks);
        else
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
    cursor.Rest();
}

} // namespace

void RunOneByOne(const Md5Message* messages, size_t count, Md5Digest* digests, const Md5Along* along,
                 size_t alongCount) {
    Md5 md5;
    for (size_t i = 0; i < count; ++i) {
        md5.Update(messages[i].head, messages[i].headLen);
        md5.Update(messages[i].tail, messages[i].tailLen);
        digests[i] = md5.Final();
    }
    for (size_t k = 0; k < alongCount; ++k)
        along[k].stream->Update(along[k].data, along[k].len);
}

typedef uint32_t Lanes4 __attribute__((vector_size(16)));
typedef uint32_t Lanes8 __attribute__((vector_size(32)));

__attribute__((VECTOR_ALIGN_STACK target("sse2"))) void RunSse2(const Md5Message* messages, size_t count,
                                                                Md5Digest* digests, const Md5Along* along,
                                                                size_t alongCount) {
    RunLanes<Lanes4, 4>(messages, count, digests, along, alongCount);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void RunAvx2(const Md5Message* messages, size_t count,
                                                                Md5Digest* digests, const Md5Along* along,
                                                                size_t alongCount) {
    RunLanes<Lanes8, 8>(messages, count, digests, along, alongCount);
}

} // namespace md5lanes

void Md5Many(const Md5Message* messages, size_t count, Md5Digest* digests, const Md5Along* along,
             size_t alongCount) {
    // As few rounds as the widest path takes, on the narrowest path that does it in as few: a lane left idle
    // costs about as much as one at work, and narrower lanes run faster.
    // Bytes riding along go on the 4-lane path: the 8-lane one hides the stream's waiting no better
    // (measured: 105-117 against 113-118 ms for 64 MiB of each).
    if (alongCount > 0 && HasSse2())
        return md5lanes::RunSse2(messages, count, digests, along, alongCount);
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
    chosen->run(messages, count, digests, along, alongCount);
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
