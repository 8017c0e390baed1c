// Reads a file on a thread of its own, a few blocks ahead of the consumer, so
// that reading (and the CRC taken on the way) overlaps the writing of the
// previous block. Memory stays at blockCount blocks whatever the file size.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/file.h"

class ReadAhead {
public:
    // onRead runs on the reading thread for every block, in file order.
    using BlockHook = std::function<void(const uint8_t* data, size_t len)>;

    // Reads from the file's current position to its end. The file must outlive this object.
    ReadAhead(File& file, size_t blockSize, BlockHook onRead = {}, size_t blockCount = 3);
    // Stops the reading thread; a block being read is finished first.
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

private:
    void ReadLoop();

    File& file_;
    BlockHook onRead_;
    std::vector<std::vector<uint8_t>> buffers_;
    std::vector<size_t> lengths_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t filled_ = 0;   // blocks read so far
    size_t consumed_ = 0; // blocks handed out and given back
    bool handedOut_ = false;
    bool atEnd_ = false;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::thread reader_;
};
