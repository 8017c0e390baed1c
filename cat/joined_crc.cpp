// Reading a set's data for its CRC-32 in large blocks, one progress report per block.
#include "cat/joined_crc.h"

#include "core/crc32.h"
#include "core/progress_meter.h"
#include "platform/file.h"

namespace {

constexpr size_t kBlockSize = 1024 * 1024;

} // namespace

CrcJobResult CrcOfParts(const std::vector<DataPart>& parts, uint64_t total, const ProgressCallback& progress) {
    Crc32 crc;
    CrcJobResult result;
    std::vector<uint8_t> block(kBlockSize);
    result.end = CrcJobEnd::Stopped;
    ProgressMeter meter(progress, total);
    if (meter.StopRequested())
        return result;
    try {
        for (const DataPart& part : parts) {
            File file(part.path, File::Mode::ReadDenyWrite);
            if (part.offset >= file.Length())
                continue;
            file.Seek(part.offset);
            while (const size_t got = file.Read(block.data(), block.size())) {
                crc.Update(block.data(), static_cast<uint32_t>(got), true);
                result.bytes += got;
                meter.Advance(got);
            }
        }
    } catch (const FileException& e) {
        result.end = CrcJobEnd::Failed;
        result.failure = e.Description();
        return result;
    } catch (const JobStopped&) {
        return result;
    }
    meter.Finish();
    result.end = CrcJobEnd::Done;
    result.crc = crc.Value();
    return result;
}

CrcJobResult CrcOfJoinedData(const SetSurvey& set, const ProgressCallback& progress) {
    std::vector<DataPart> parts;
    for (size_t i = 0; i < set.pieces.size(); ++i)
        parts.push_back({set.pieces[i].path, i == 0 ? set.dataStart : 0});
    return CrcOfParts(parts, set.JoinedSize(), progress);
}
