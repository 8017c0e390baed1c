// MD5 in vector lanes: every lane runs the same 64 steps on a block of its own message, so four (SSE2),
// eight (AVX2) or sixteen (AVX-512) messages take about the time of one. A lane whose message ends takes
// the next one.
#include "recovery/md5_lanes.h"

#include "recovery/md5_feed.h"
#include "recovery/md5_steps.h"

namespace md5lanes {
namespace {

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
            state[k][lane] = md5::kInit[k];
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
        md5::Compress<V, N>(state, blocks);
        for (int lane = 0; lane < N; ++lane) {
            if (!busy[lane] || !feeds[lane].Ended())
                continue;
            const uint32_t words[4] = {state[0][lane], state[1][lane], state[2][lane], state[3][lane]};
            digests[owner[lane]] = md5::DigestOf(words);
            start(lane);
        }
    }
}

// The states of `count` streams in lanes, `blocks` blocks of each; lanes past count hash nothing useful.
template <class V, int N>
__attribute__((always_inline)) inline void RunStreams(uint32_t* const* states, const uint8_t* const* data, size_t count,
                                                      size_t blocks) {
    static const uint8_t kIdle[64] = {};
    V state[4] = {};
    const uint8_t* at[N];
    for (int lane = 0; lane < N; ++lane) {
        const bool used = static_cast<size_t>(lane) < count;
        at[lane] = used ? data[lane] : kIdle;
        for (int k = 0; k < 4; ++k)
            state[k][lane] = used ? states[lane][k] : 0;
    }
    for (size_t b = 0; b < blocks; ++b) {
        md5::Compress<V, N>(state, at);
        for (size_t lane = 0; lane < count; ++lane)
            at[lane] += 64;
    }
    for (size_t lane = 0; lane < count; ++lane)
        for (int k = 0; k < 4; ++k)
            states[lane][k] = state[k][lane];
}

} // namespace

void StreamsOneByOne(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks) {
    for (size_t i = 0; i < count; ++i)
        for (size_t b = 0; b < blocks; ++b)
            Md5Block(states[i], data[i] + 64 * b);
}

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
typedef uint32_t Lanes16 __attribute__((vector_size(64)));

__attribute__((VECTOR_ALIGN_STACK target("sse2"))) void
RunSse2(const Md5Message* messages, size_t count, Md5Digest* digests) {
    RunLanes<Lanes4, 4>(messages, count, digests);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void
RunAvx2(const Md5Message* messages, size_t count, Md5Digest* digests) {
    RunLanes<Lanes8, 8>(messages, count, digests);
}

__attribute__((VECTOR_ALIGN_STACK target("avx512f"))) void
RunAvx512(const Md5Message* messages, size_t count, Md5Digest* digests) {
    RunLanes<Lanes16, 16>(messages, count, digests);
}

// Eight lanes with AVX-512's rotate and three-input logic: each step waits on fewer operations, so a group
// of eight finishes sooner than on the 512-bit registers, whose width a few streams leave idle.
__attribute__((VECTOR_ALIGN_STACK target("avx512f,avx512vl"))) void
RunAvx512vl(const Md5Message* messages, size_t count, Md5Digest* digests) {
    RunLanes<Lanes8, 8>(messages, count, digests);
}

__attribute__((VECTOR_ALIGN_STACK target("sse2"))) void StreamsSse2(uint32_t* const* states, const uint8_t* const* data,
                                                                    size_t count, size_t blocks) {
    RunStreams<Lanes4, 4>(states, data, count, blocks);
}

__attribute__((VECTOR_ALIGN_STACK target("avx2"))) void StreamsAvx2(uint32_t* const* states, const uint8_t* const* data,
                                                                    size_t count, size_t blocks) {
    RunStreams<Lanes8, 8>(states, data, count, blocks);
}

__attribute__((VECTOR_ALIGN_STACK target("avx512f,avx512vl"))) void
StreamsAvx512vl(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks) {
    RunStreams<Lanes8, 8>(states, data, count, blocks);
}

__attribute__((VECTOR_ALIGN_STACK target("avx512f"))) void
StreamsAvx512(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks) {
    RunStreams<Lanes16, 16>(states, data, count, blocks);
}

} // namespace md5lanes
