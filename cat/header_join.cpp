// Header join: header scan, copy without the header, size, CRC-32 check and the report.
#include "cat/header_join.h"

#include <cstdint>
#include <optional>

#include "cat/join_steps.h"
#include "cat/output_path.h"
#include "cat/piece_discovery.h"
#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/stub_image.h"

namespace {

// Fills the window from the start of the first piece; shorter only when the piece ends first.
size_t ReadWindow(File& piece, uint8_t* window) {
    size_t filled = 0;
    while (filled < kHeaderWindow) {
        const size_t got = piece.Read(window + filled, kHeaderWindow - filled);
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

} // namespace

void HeaderJoin(const CatJob& job, Messenger& messenger, CatResult& result) {
    File first(job.paths[0], File::Mode::ReadDenyWrite);
    // A self-catenating first piece carries its header behind the catstub image.
    const uint64_t dataArea = NamePart(job.paths[0]) == kSelfCatenatingName ? kStubImageSize : 0;
    first.Seek(dataArea);

    uint8_t window[kHeaderWindow];
    const size_t windowLen = ReadWindow(first, window);
    PieceHeader header;
    const HeaderStatus status = ReadPieceHeader(window, windowLen, &header);
    result.headerRead = true;
    result.recordedCrc.assign(header.crc, header.crcLen);
    result.recordedName = header.name ? std::string(header.name, header.nameLen) : std::string();
    // Only a plain file name is created: a path or a device name would write outside the current directory.
    if (status != HeaderStatus::Ok) {
        messenger.Show("Can't get original file name\nProblems with File: _Split#000\n", Icon::Hand);
        return;
    }

    const std::string& name = result.recordedName;
    result.outputPath = OutputPathFor(name);
    if (const std::string* input = InputAt(result.outputPath, job.paths)) {
        ReportCatError(messenger, OverwriteDescription(result.outputPath, *input));
        return;
    }

    first.Seek(dataArea + header.dataOffset);
    File output(name, File::Mode::CreateAlways);
    std::vector<uint8_t> buffer(kCopyBlockSize);
    CopyToEnd(first, output, buffer);
    first.Close();
    for (size_t i = 1; i < job.paths.size(); ++i) {
        File piece(job.paths[i], File::Mode::ReadDenyWrite);
        CopyToEnd(piece, output, buffer);
        piece.Close();
    }
    const uint64_t size = output.Length();
    output.Close();

    // The check re-reads the file from disk, so it covers what was really stored.
    std::optional<uint32_t> crc;
    {
        Crc32 calculator;
        crc = calculator.FileCrc(name.c_str());
    }
    if (!crc) {
        messenger.Show("Can't calculate CRC32", Icon::Hand);
        return;
    }
    const std::string crcText = CrcText(*crc);
    if (crcText != result.recordedCrc) {
        const std::string text = "Concatenated File is Inconsistent! CRC32 not equal\n" + std::string("\nFile Name: ") +
                                 name + "\nOriginal CRC32 =\t\t" + result.recordedCrc + "\nCatenated File CRC32 =\t" +
                                 crcText;
        result.crcMismatch = true;
        messenger.Show(text, Icon::Hand);
        return;
    }
    result.written = true;
    result.listLine = PieceLine(name, size);
    messenger.Show("Catenated File: " + name + "  OK" + "\n\nCRC32 = Hex:" + crcText, Icon::Information);
}
