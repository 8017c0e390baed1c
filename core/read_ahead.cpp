// The reading thread and the hand-over of its blocks.
#include "core/read_ahead.h"

#include <chrono>

#include "core/progress_meter.h"
#include "platform/read_interrupt.h"

ReadBuffers::ReadBuffers(size_t blockSize, size_t blockCount) : blockSize_(blockSize), blocks_(blockCount) {
    for (auto& block : blocks_)
        block.reset(new uint8_t[blockSize]);
}

namespace {

// How often a wait looks up from a read that does not come.
constexpr std::chrono::milliseconds kWaitTick(100);

ReadAhead::Source FromFile(File& file) {
    return [&file](uint8_t* data, size_t len) { return file.Read(data, len); };
}

} // namespace

ReadAhead::ReadAhead(File& file, size_t blockSize, BlockHook onRead, size_t blockCount)
    : source_(FromFile(file)), onRead_(std::move(onRead)), owned_(std::make_unique<ReadBuffers>(blockSize, blockCount)),
      buffers_(*owned_), lengths_(blockCount, 0) {
    reader_ = std::thread([this] { ReadLoop(); });
}

ReadAhead::ReadAhead(File& file, ReadBuffers& buffers, BlockHook onRead)
    : ReadAhead(FromFile(file), buffers, std::move(onRead)) {}

ReadAhead::ReadAhead(Source source, ReadBuffers& buffers, BlockHook onRead)
    : source_(std::move(source)), onRead_(std::move(onRead)), buffers_(buffers), lengths_(buffers.Count(), 0) {
    reader_ = std::thread([this] { ReadLoop(); });
}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!changed_.wait_for(lock, kWaitTick, [this] { return finished_; }))
            InterruptReads(reader_);
    }
    reader_.join();
}

void ReadAhead::ReadLoop() {
    ReadBlocks();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
}

void ReadAhead::ReadBlocks() {
    for (;;) {
        size_t slot = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            // A slot is free when the consumer has given back the block that held it.
            changed_.wait(lock, [this] { return stop_ || filled_ - consumed_ < buffers_.Count(); });
            if (stop_)
                return;
            slot = filled_ % buffers_.Count();
        }
        size_t got = 0;
        std::exception_ptr failure;
        try {
            got = source_(buffers_.Block(slot), buffers_.BlockSize());
            if (got > 0 && onRead_)
                onRead_(buffers_.Block(slot), got);
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
    return Next({});
}

ReadAhead::Block ReadAhead::Next(const std::function<bool()>& stopRequested) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (handedOut_) {
        ++consumed_;
        handedOut_ = false;
        changed_.notify_all();
    }
    // A reading thread that ends, by a failure too, always leaves one of these behind.
    const auto ready = [this] { return filled_ > consumed_ || atEnd_ || failure_ || finished_; };
    while (!changed_.wait_for(lock, kWaitTick, ready)) {
        if (!stopRequested)
            continue;
        lock.unlock();
        if (stopRequested())
            throw JobStopped{};
        lock.lock();
    }
    if (filled_ > consumed_) {
        handedOut_ = true;
        const size_t slot = consumed_ % buffers_.Count();
        return {buffers_.Block(slot), lengths_[slot]};
    }
    if (failure_)
        std::rethrow_exception(failure_);
    return {nullptr, 0};
}
