#include "split/in_flight_read.h"

#include "core/crc32.h"

InFlightRead::InFlightRead(File& large, uint64_t size, const std::vector<PlannedPiece>& plan,
                           const ChunkSchedule& order, size_t blockSize)
    : large_(large), size_(size), plan_(plan), order_(order), registers_(plan.size() + 1, 0xFFFFFFFFu),
      buffers_(blockSize) {
    reader_ = std::make_unique<ReadAhead>(
        [this](uint8_t* data, size_t) { return Read(data); }, buffers_,
        [this](const uint8_t* data, size_t len) { registers_[reading_] = Crc32Fast(registers_[reading_], data, len); });
}

size_t InFlightRead::Read(uint8_t* data) {
    ChunkStep step;
    if (!order_.Next(step)) {
        if (probed_)
            return 0;
        probed_ = true;
        reading_ = static_cast<uint32_t>(plan_.size());
        large_.Seek(size_);
        return large_.Read(data, 1);
    }
    reading_ = step.piece;
    large_.Seek(step.source);
    return large_.ReadUpTo(data, step.len);
}

uint32_t InFlightRead::Crc() const {
    uint32_t crc = registers_[0];
    for (size_t n = 1; n < plan_.size(); ++n)
        crc = Crc32Combine(crc, registers_[n], plan_[n].size);
    return ~crc;
}
