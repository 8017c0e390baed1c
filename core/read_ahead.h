// Reads a file on a thread of its own, a few blocks ahead of the consumer, so
// that reading (and the CRC taken on the way) overlaps the writing of the
// previous block. Memory stays at blockCount blocks whatever the file size.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file.h"

// The blocks a ReadAhead reads into. A job that reads many files one after the
// other (a join of hundreds of pieces) keeps one set for all of them: fresh
// memory for every file costs page faults that outweigh the copy itself.
class ReadBuffers {
public:
    explicit ReadBuffers(size_t blockSize, size_t blockCount = 3);

    size_t BlockSize() const { return blockSize_; }
    size_t Count() const { return blocks_.size(); }
    uint8_t* Block(size_t i) { return blocks_[i].get(); }

private:
    size_t blockSize_;
    std::vector<std::unique_ptr<uint8_t[]>> blocks_; // not zeroed: every byte handed out was read first
};

class ReadAhead {
public:
    // onRead runs on the reading thread for every block, in file order.
    using BlockHook = std::function<void(const uint8_t* data, size_t len)>;
    // Where the bytes come from, called on the reading thread: fills up to len bytes and returns how
    // many, 0 only at the end; may throw FileException.
    using Source = std::function<size_t(uint8_t* data, size_t len)>;

    // Reads from the file's current position to its end. The file must outlive this object.
    ReadAhead(File& file, size_t blockSize, BlockHook onRead = {}, size_t blockCount = 3);
    // The same into blocks the caller keeps; they must outlive this object.
    ReadAhead(File& file, ReadBuffers& buffers, BlockHook onRead = {});
    // Reads what source gives, into blocks the caller keeps.
    ReadAhead(Source source, ReadBuffers& buffers, BlockHook onRead = {});
    // Stops the reading thread; a block being read is finished first, and a read that blocks is given up
    // where the platform can interrupt it.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    struct Block {
        const uint8_t* data;
        size_t len; // 0 only at the end of the file
    };
    // The next block in file order, valid until the next call. A failed read is
    // thrown here as the FileException it was, at the place in the file it happened.
    Block Next();
    // The same, asking stopRequested about every tenth of a second while it waits for a read that may not
    // come (a stalled pipe or network file); throws JobStopped when it says stop.
    Block Next(const std::function<bool()>& stopRequested);

private:
    void ReadLoop();
    void ReadBlocks();

    Source source_;
    BlockHook onRead_;
    std::unique_ptr<ReadBuffers> owned_;
    ReadBuffers& buffers_;
    std::vector<size_t> lengths_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t filled_ = 0;   // blocks read so far
    size_t consumed_ = 0; // blocks handed out and given back
    bool handedOut_ = false;
    bool atEnd_ = false;
    bool stop_ = false;
    bool finished_ = false; // the reading thread is done, or about to return
    std::exception_ptr failure_;
    std::thread reader_;
};
