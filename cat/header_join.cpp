// Header join: header scan, copy without the header, size, CRC-32 check and the outcome.
#include "cat/header_join.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "cat/cat_files.h"
#include "cat/join_checks.h"
#include "cat/join_steps.h"
#include "cat/join_target.h"
#include "cat/output_path.h"
#include "cat/partial_output.h"
#include "cat/piece_discovery.h"
#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "core/recorded_name.h"
#include "core/stub_image.h"
#include "core/volume_checks.h"

namespace {

// The join's end by its CRC-32: the file that was split, or data that is not it.
Outcome CheckedJoin(const std::string& outputPath, const std::string& name, const told::CrcTexts& crc,
                    bool stream = false) {
    if (crc.computed == crc.recorded) {
        told::CatChecked joined;
        joined.outputPath = outputPath;
        joined.name = name;
        joined.crc = crc;
        return joined;
    }
    told::MismatchWritten mismatch;
    mismatch.outputPath = outputPath;
    mismatch.name = name;
    mismatch.crc = crc;
    mismatch.stream = stream;
    return mismatch;
}

// The data to an open stream: nothing there to ask about or replace, and nothing to take back, so a
// mismatch is only told; the CRC-32 is taken of the bytes as they go.
void StreamHeaderCat(File& first, uint64_t dataStart, const CatJob& job, Messenger& messenger, CatResult& result) {
    result.outputPath = job.stream->Path();
    ProgressMeter meter(job.onProgress, BytesToCat(job.paths, dataStart));
    first.Seek(dataStart);
    Crc32 crc;
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), *job.stream, meter, &crc);
    meter.Finish();
    const told::CrcTexts crcs{result.recordedCrc, CrcText(crc.Value())};
    result.crcMismatch = crcs.computed != crcs.recorded;
    result.written = !result.crcMismatch;
    messenger.Tell(CheckedJoin(result.outputPath, result.recordedName, crcs, true));
}

// The first piece's header into result; where its data starts, or empty after telling why no join can
// create its name (only a plain file name is created: a path or a device name would write outside the
// current directory).
std::optional<uint64_t> ReadRecordedHeader(File& first, const std::string& firstPath, Messenger& messenger,
                                           CatResult& result) {
    // A self-catenating first piece carries its header behind the catstub image.
    const PieceNameParts parts = PiecePartsOf(firstPath);
    uint8_t window[kHeaderWindow];
    const size_t windowLen = ReadFirstPieceWindow(first, parts, window);
    PieceHeader header;
    RecordedNameBuffers nameBuffers;
    const HeaderStatus status = ReadPieceHeaderForFiles(window, windowLen, &header, &nameBuffers);
    result.headerRead = true;
    result.recordedCrc.assign(header.crc, header.crcLen);
    result.recordedName = header.name ? std::string(header.name, header.nameLen) : std::string();
    if (status != HeaderStatus::Ok) {
        messenger.Tell(told::NoOriginalName{firstPath});
        return std::nullopt;
    }
    return DataAreaStart(parts) + header.dataOffset;
}

// The data under a temporary name, its CRC-32 taken as it is written (the output is never read back), then
// under its own name; a result that does not match never replaces a file, and is kept beside it instead.
void WriteChecked(File& first, uint64_t dataStart, const CatJob& job, const std::string& name, bool replaceExisting,
                  Messenger& messenger, CatResult& result) {
    first.Seek(dataStart);
    ProgressMeter meter(job.onProgress, BytesToCat(job.paths, dataStart));
    PartialOutput output(name);
    result.partialPath = output.Path();
    Crc32 crc;
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), output.Output(), meter, &crc);
    const uint64_t size = output.Output().Length();
    const told::CrcTexts crcs{result.recordedCrc, CrcText(crc.Value())};
    result.crcMismatch = crcs.computed != crcs.recorded;
    if (result.crcMismatch && replaceExisting) {
        result.keptPath = output.Keep();
        result.partialPath.clear();
        meter.Finish();
        told::MismatchKept kept;
        kept.outputPath = result.outputPath;
        kept.keptPath = result.keptPath;
        kept.name = name;
        kept.crc = crcs;
        messenger.Tell(kept);
        return;
    }
    // Every byte is in: the file takes its name, also when the check fails, as the user is told.
    output.Commit(replaceExisting);
    meter.Finish();
    result.written = !result.crcMismatch;
    if (result.written)
        result.outputSize = size;
    messenger.Tell(CheckedJoin(result.outputPath, name, crcs));
}

} // namespace

void HeaderCat(const CatJob& job, Messenger& messenger, CatResult& result) {
    File first(job.paths[0], File::Mode::ReadDenyWrite);
    const std::optional<uint64_t> dataStart = ReadRecordedHeader(first, job.paths[0], messenger, result);
    if (!dataStart)
        return;
    if (job.stream) {
        StreamHeaderCat(first, *dataStart, job, messenger, result);
        return;
    }
    const std::string& name = job.outputName.empty() ? result.recordedName : job.outputName;
    result.outputPath = OutputPathFor(name);
    // Whatever lies under the recorded name is the user's, perhaps the very file this set was split from.
    // Asked once: before the pieces were rebuilt, when they had to be. Agreed to before anything is
    // written: only a file that was there then may be replaced.
    const uint64_t total = BytesToCat(job.paths, *dataStart);
    const std::optional<bool> replace = MayWriteOutput(name, job.paths, total, job.replaceAnswer, messenger);
    if (replace)
        WriteChecked(first, *dataStart, job, name, *replace, messenger, result);
}
