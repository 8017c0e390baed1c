// A file's CRC-32 read ahead in large blocks, with progress after each block.
#include "core/crc32_job.h"

#include "core/crc32.h"
#include "core/progress_meter.h"
#include "core/read_ahead.h"
#include "platform/file.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;

} // namespace

CrcJobResult MeasureFileCrc(const std::string& path, const ProgressCallback& onProgress) {
    CrcJobResult result;
    try {
        File file(path, File::Mode::ReadDenyWrite);
        ProgressMeter meter(onProgress, file.Length());
        Crc32 crc;
        ReadAhead reader(file, kBlockSize, [&crc](const uint8_t* data, size_t len) {
            crc.Update(data, static_cast<uint32_t>(len), true);
        });
        while (const size_t len = reader.Next([&meter] { return meter.StopRequested(); }).len) {
            meter.Advance(len);
            result.bytes += len;
        }
        meter.Finish();
        result.end = CrcJobEnd::Done;
        result.crc = crc.Value();
    } catch (const FileException& e) {
        result.end = CrcJobEnd::Failed;
        result.failure = e.Description();
    } catch (const JobStopped&) {
        result.end = CrcJobEnd::Stopped;
    }
    return result;
}
