// The blocks the lanes hash: one lane's message as MD5 sees it, and the hashers whose streams go in lanes.
#pragma once

#include <cstring>

#include "recovery/md5_lanes.h"

// What the lanes may do to a hasher whose stream goes in a lane: hash its whole blocks in its state, then count them.
struct Md5HasherAccess {
    static uint32_t* State(Md5& s) { return s.state_; }
    static void Skip(Md5& s, size_t blocks) { s.length_ += 64 * blocks; }
    static size_t Buffered(const Md5& s) { return static_cast<size_t>(s.length_ % 64); }
};

namespace md5lanes {
namespace {

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

} // namespace
} // namespace md5lanes
