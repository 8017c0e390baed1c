// Header join: header scan, copy without the header, size, CRC-32 check and the outcome.
#include "cat/header_join.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "cat/cat_files.h"
#include "cat/join_checks.h"
#include "cat/join_steps.h"
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
Outcome CheckedJoin(const std::string& outputPath, const std::string& name, const std::string& recordedCrc,
                    const std::string& computedCrc) {
    const told::CrcTexts crc{recordedCrc, computedCrc};
    if (crc.computed == crc.recorded) {
        told::Joined joined;
        joined.outputPath = outputPath;
        joined.name = name;
        joined.crc = crc;
        return joined;
    }
    told::MismatchWritten mismatch;
    mismatch.outputPath = outputPath;
    mismatch.name = name;
    mismatch.crc = crc;
    return mismatch;
}

// The data to an open stream: nothing there to ask about or replace, and nothing to take back, so a
// mismatch is only told; the CRC-32 is taken of the bytes as they go.
void StreamJoin(File& first, uint64_t dataStart, const CatJob& job, Messenger& messenger, CatResult& result) {
    result.outputPath = job.stream->Path();
    ProgressMeter meter(job.onProgress, BytesToJoin(job.paths, dataStart));
    first.Seek(dataStart);
    Crc32 crc;
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), *job.stream, meter, &crc);
    meter.Finish();
    const std::string crcText = CrcText(crc.Value());
    const std::string& name = result.recordedName;
    if (crcText != result.recordedCrc) {
        result.crcMismatch = true;
        const std::string written = "the data written to " + result.outputPath;
        messenger.Tell(CheckedJoin(written, name, result.recordedCrc, crcText));
        return;
    }
    result.written = true;
    messenger.Tell(CheckedJoin(result.outputPath, name, result.recordedCrc, crcText));
}

} // namespace

void HeaderJoin(const CatJob& job, Messenger& messenger, CatResult& result) {
    File first(job.paths[0], File::Mode::ReadDenyWrite);
    // A self-catenating first piece carries its header behind the catstub image.
    const PieceNameParts parts = PiecePartsOf(job.paths[0]);
    const uint64_t dataArea = DataAreaStart(parts);
    uint8_t window[kHeaderWindow];
    const size_t windowLen = ReadFirstPieceWindow(first, parts, window);
    PieceHeader header;
    RecordedNameBuffers nameBuffers;
    const HeaderStatus status = ReadPieceHeaderForFiles(window, windowLen, &header, &nameBuffers);
    result.headerRead = true;
    result.recordedCrc.assign(header.crc, header.crcLen);
    result.recordedName = header.name ? std::string(header.name, header.nameLen) : std::string();
    // Only a plain file name is created: a path or a device name would write outside the current directory.
    if (status != HeaderStatus::Ok) {
        messenger.Tell(told::NoOriginalName{job.paths[0]});
        return;
    }

    if (job.stream) {
        StreamJoin(first, dataArea + header.dataOffset, job, messenger, result);
        return;
    }
    const std::string& name = job.outputName.empty() ? result.recordedName : job.outputName;
    result.outputPath = OutputPathFor(name);
    if (const std::string* input = InputAt(result.outputPath, job.paths)) {
        messenger.Tell(OverwritesInput(result.outputPath, *input));
        return;
    }

    // Whatever lies under the recorded name is the user's, perhaps the very file this set was split from.
    // Asked once: before the pieces were rebuilt, when they had to be.
    const std::optional<bool> replace =
        job.replaceAnswer ? job.replaceAnswer : MayTakeName(result.outputPath, messenger);
    if (!replace)
        return;
    // Agreed to before anything is written: only a file that was there then may be replaced.
    const bool replaceExisting = *replace;
    const uint64_t total = BytesToJoin(job.paths, dataArea + header.dataOffset);
    if (!VolumeTakes(total, total, messenger) || (!replaceExisting && !CommitsWithoutReplacing(name, messenger)))
        return;
    first.Seek(dataArea + header.dataOffset);
    ProgressMeter meter(job.onProgress, total);
    PartialOutput output(name);
    result.partialPath = output.Path();
    // The CRC is taken of the bytes as they are written: the output is never read back.
    Crc32 crc;
    CopyInOrder(first, std::vector<std::string>(job.paths.begin() + 1, job.paths.end()), output.Output(), meter, &crc);
    const uint64_t size = output.Output().Length();
    const std::string crcText = CrcText(crc.Value());
    // Checked before the output takes its name: a result that does not match never replaces a file.
    if (crcText != result.recordedCrc && replaceExisting) {
        result.keptPath = output.Keep();
        result.partialPath.clear();
        meter.Finish();
        result.crcMismatch = true;
        told::MismatchKept kept;
        kept.outputPath = result.outputPath;
        kept.keptPath = result.keptPath;
        kept.name = name;
        kept.crc = {result.recordedCrc, crcText};
        messenger.Tell(kept);
        return;
    }
    // Every byte is in: the file takes its name, also when the check below fails, as the user is told.
    output.Commit(replaceExisting);
    meter.Finish();

    result.crcMismatch = crcText != result.recordedCrc;
    result.written = !result.crcMismatch;
    if (result.written)
        result.listLine = RejoinedLine(name, size);
    messenger.Tell(CheckedJoin(result.outputPath, name, result.recordedCrc, crcText));
}
