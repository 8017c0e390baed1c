// MD5's 64 steps, unrolled, on a word or on a vector of lanes: every lane runs the same steps on a block
// of its own message. The recovery engine's scalar MD5 (recovery/md5.h) and its lanes (recovery/md5_lanes.h)
// both build on these; each path's entry inlines them, built for its own vectors.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/md5_core.h"

namespace md5 {

// Everything here is inlined into the paths' entries: no vector ever crosses a call, whatever the warning
// about their calling convention says.
#pragma GCC diagnostic ignored "-Wpsabi"

template <class V, int S> __attribute__((always_inline)) inline V Rotate(V x) {
    return (x << S) | (x >> (32 - S));
}

// The sines as whole vectors in memory: an add takes one as its operand, where a broadcast of each costs
// an operation of its own.
template <class V, size_t... I> constexpr std::array<V, 64> SineVectors(std::index_sequence<I...>) {
    return {{(V{} + md5::kSine[I])...}};
}
template <class V> inline constexpr std::array<V, 64> kSines = SineVectors<V>(std::make_index_sequence<64>());

template <class V, int I> __attribute__((always_inline)) inline V Sine() {
    if constexpr (sizeof(V) == 4) {
        return md5::kSine[I];
    } else {
        const V* sines = kSines<V>.data();
        __asm__("" : "+r"(sines)); // else the compiler makes each a broadcast of a constant again
        return sines[I];
    }
}

// One step of round R (0..3) on step i: the functions F, G, H and I, and the message word each takes.
template <class V, int R, int I, int S>
__attribute__((always_inline)) inline void Step(V& a, V b, V c, V d, const V* m) {
    V f;
    constexpr int g = md5::WordOf(R, I);
    if (R == 0) {
        f = d ^ (b & (c ^ d));
    } else if (R == 1) {
        // G as two parts without common bits: the one without b goes into the sum before b is known,
        // which takes an operation off the chain of steps.
        if constexpr (sizeof(V) == 4) {
            a = b + Rotate<V, S>(a + (m[g] + Sine<V, I>()) + (c & ~d) + (d & b));
            return;
        }
        f = c ^ (d & (b ^ c));
    } else if (R == 2) {
        f = b ^ c ^ d;
    } else {
        f = c ^ (b | ~d);
    }
    a = b + Rotate<V, S>(a + f + (m[g] + Sine<V, I>()));
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

// The word orders of one stage of the 16 x 16 transpose below.
typedef int Order16 __attribute__((vector_size(64)));
template <int B, int... J> constexpr Order16 LowOrder(std::integer_sequence<int, J...>) {
    return Order16{((J & B) ? 16 + J - B : J)...};
}
template <int B, int... J> constexpr Order16 HighOrder(std::integer_sequence<int, J...>) {
    return Order16{((J & B) ? 16 + J : J + B)...};
}
// One stage of a 16 x 16 transpose: in every pair of rows i and i + B (i without bit B), the words with bit
// B of row i trade places with the words without it of row i + B.
template <class V, int B> __attribute__((always_inline)) inline void TransposeStage(V* r) {
    constexpr Order16 low = LowOrder<B>(std::make_integer_sequence<int, 16>());
    constexpr Order16 high = HighOrder<B>(std::make_integer_sequence<int, 16>());
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        if (i & B)
            continue;
        const V a = r[i], b = r[i + B];
        r[i] = __builtin_shuffle(a, b, low);
        r[i + B] = __builtin_shuffle(a, b, high);
    }
}

// The message words of a block of every lane: m[w] holds word w of each. Four, eight or sixteen lanes go by a
// transpose in registers: fewer loads than a word at a time.
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
    } else if constexpr (N == 16 && sizeof(V) == 64) {
        // 16 x 16 words: a lane's block is one row; the off-diagonal quarters of every square of 8, 4, 2 and
        // then 1 rows change places, which leaves word w of every lane in m[w].
        V r[16];
        for (int lane = 0; lane < 16; ++lane)
            std::memcpy(&r[lane], blocks[lane], 64);
        TransposeStage<V, 8>(r);
        TransposeStage<V, 4>(r);
        TransposeStage<V, 2>(r);
        TransposeStage<V, 1>(r);
        for (int w = 0; w < 16; ++w)
            m[w] = r[w];
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

} // namespace md5
