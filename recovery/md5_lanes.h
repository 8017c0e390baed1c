// Many MD5s at once. One message after the other, MD5 waits on each step's result and leaves most of
// the processor idle; a recovery set asks for many digests of messages of one length (the slices of a
// batch, the recovery packets of a file), so each lane of a vector register hashes a message of its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/cpu_state.h"
#include "recovery/md5.h"

// A message of up to two parts hashed as one: a packet's header and its body, or one buffer (tail empty).
struct Md5Message {
    const uint8_t* head = nullptr;
    size_t headLen = 0;
    const uint8_t* tail = nullptr;
    size_t tailLen = 0;
};

// digests[i] = the MD5 of messages[i], on the path that suits this many best here.
void Md5Many(const Md5Message* messages, size_t count, Md5Digest* digests);

// Each hashers[i] fed lens[i] bytes from data[i], as Update would: the streams' whole blocks side by side in
// lanes, on the narrowest path that takes them all at once (in groups of the widest where more come).
void Md5SideBySide(Md5* const* hashers, const uint8_t* const* data, const size_t* lens, size_t count);

// How many messages the widest path here hashes at once: a group of this many costs about as much as
// one. Fewer go on a narrower path, whose lanes they fill.
size_t Md5Lanes();
constexpr size_t kMostLanes = 16; // of any path

// Where buffers hashed side by side start `stride` bytes apart: a stride of a whole number of 4 KiB pages puts
// every lane's loads into the same first-level cache sets, which costs the lanes about a fifth of their speed.
// An odd number of 64-byte lines spreads them over the sets.
constexpr size_t LaneStride(size_t bytes) {
    const size_t lines = (bytes + 63) / 64;
    return (lines | 1) * 64;
}

namespace md5lanes {

// Streams hashed side by side: states[i] (four words, as a hasher keeps them) takes `blocks` whole
// 64-byte blocks from data[i], for i < count <= the path's lanes.
using StreamsRun = void (*)(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);

struct Path {
    const char* name;
    size_t lanes;
    void (*run)(const Md5Message*, size_t, Md5Digest*);
    bool (*available)();
    StreamsRun streams;
};

void RunOneByOne(const Md5Message* messages, size_t count, Md5Digest* digests);
void RunSse2(const Md5Message* messages, size_t count, Md5Digest* digests);
void RunAvx2(const Md5Message* messages, size_t count, Md5Digest* digests);
void RunAvx512(const Md5Message* messages, size_t count, Md5Digest* digests);
void RunAvx512vl(const Md5Message* messages, size_t count, Md5Digest* digests);
void StreamsOneByOne(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);
void StreamsSse2(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);
void StreamsAvx2(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);
void StreamsAvx512(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);
void StreamsAvx512vl(uint32_t* const* states, const uint8_t* const* data, size_t count, size_t blocks);
inline bool Always() {
    return true;
}

// Widest first; of two as wide, the faster first. One by one is the scalar MD5, which every machine has.
// AVX-512's rotate and three-input logic take each step in fewer operations.
inline const Path kPaths[] = {
    {"avx512", 16, RunAvx512, HasAvx512bw, StreamsAvx512},
    {"avx512vl", 8, RunAvx512vl, HasAvx512vl, StreamsAvx512vl},
    {"avx2", 8, RunAvx2, HasAvx2, StreamsAvx2},
    {"sse2", 4, RunSse2, HasSse2, StreamsSse2},
    {"one-by-one", 1, RunOneByOne, Always, StreamsOneByOne},
};

} // namespace md5lanes
