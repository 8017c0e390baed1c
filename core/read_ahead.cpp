// The reading thread and the hand-over of its blocks.
#include "core/read_ahead.h"

ReadAhead::ReadAhead(File& file, size_t blockSize, BlockHook onRead, size_t blockCount)
    : file_(file), onRead_(std::move(onRead)), buffers_(blockCount, std::vector<uint8_t>(blockSize)),
      lengths_(blockCount, 0) {
    reader_ = std::thread([this] { ReadLoop(); });
}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    reader_.join();
}

void ReadAhead::ReadLoop() {
    for (;;) {
        size_t slot = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // A slot is free when the consumer has given back the block that held it.
            changed_.wait(lock, [this] { return stop_ || filled_ - consumed_ < buffers_.size(); });
            if (stop_)
                return;
            slot = filled_ % buffers_.size();
        }
        size_t got = 0;
        std::exception_ptr failure;
        try {
            got = file_.Read(buffers_[slot].data(), buffers_[slot].size());
            if (got > 0 && onRead_)
                onRead_(buffers_[slot].data(), got);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lengths_[slot] = got;
            if (failure)
                failure_ = failure;
            else if (got == 0)
                atEnd_ = true;
            else
                ++filled_;
        }
        changed_.notify_all();
        if (failure || got == 0)
            return;
    }
}

ReadAhead::Block ReadAhead::Next() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (handedOut_) {
        ++consumed_;
        handedOut_ = false;
        changed_.notify_all();
    }
    changed_.wait(lock, [this] { return filled_ > consumed_ || atEnd_ || failure_; });
    if (filled_ > consumed_) {
        handedOut_ = true;
        const size_t slot = consumed_ % buffers_.size();
        return {buffers_[slot].data(), lengths_[slot]};
    }
    if (failure_)
        std::rethrow_exception(failure_);
    return {nullptr, 0};
}
