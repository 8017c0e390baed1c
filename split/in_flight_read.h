// The large file read for a split with several pieces in flight: in a chunk schedule's order, on a thread
// of its own, each piece's CRC-32 taken apart and the file's combined from them, and one byte past the
// length measured, so that a file that grew shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/read_ahead.h"
#include "core/split_observer.h"
#include "platform/file.h"
#include "split/chunk_schedule.h"

class InFlightRead {
public:
    InFlightRead(File& large, uint64_t size, const std::vector<PlannedPiece>& plan, const ChunkSchedule& order,
                 size_t blockSize);
    // The next block in the schedule's order; past the schedule, a block only where the file grew.
    ReadAhead::Block Next() { return reader_->Next(); }
    // The CRC-32 of the file's data, once Stop has returned.
    uint32_t Crc() const;
    void Stop() { reader_.reset(); }

private:
    size_t Read(uint8_t* data);

    File& large_;
    uint64_t size_;
    const std::vector<PlannedPiece>& plan_;
    ChunkSchedule order_;
    std::vector<uint32_t> registers_; // each piece's, and one for bytes past the end
    uint32_t reading_ = 0;            // the reading thread's own: the piece of the block it reads
    bool probed_ = false;
    ReadBuffers buffers_;
    std::unique_ptr<ReadAhead> reader_;
};
