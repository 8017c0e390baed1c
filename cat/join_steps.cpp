// Copying one input to the output, and what an unfinished join left.
#include "cat/join_steps.h"

#include "core/read_ahead.h"

void CopyInOrder(File& first, const std::vector<std::string>& rest, File& output, ProgressMeter& meter, Crc32* crc) {
    File* current = &first;
    File next;
    size_t nextIndex = 0;
    // Runs on the reading thread: one piece ends, the next one opens.
    const auto source = [&](uint8_t* data, size_t len) -> size_t {
        for (;;) {
            const size_t got = current->Read(data, len);
            if (got > 0 || nextIndex == rest.size())
                return got;
            current->Close();
            next.Open(rest[nextIndex++], File::Mode::ReadDenyWrite);
            current = &next;
        }
    };
    ReadBuffers buffers(kCopyBlockSize);
    ReadAhead reader(source, buffers, [crc](const uint8_t* data, size_t len) {
        if (crc)
            crc->Update(data, static_cast<uint32_t>(len), true);
    });
    for (;;) {
        const ReadAhead::Block block = reader.Next([&meter] { return meter.StopRequested(); });
        if (block.len == 0)
            return;
        output.Write(block.data, block.len);
        meter.Advance(block.len);
    }
}

PieceNameParts PiecePartsOf(const std::string& path) {
    const std::string name = NamePart(path);
    return ParsePieceName(name.data(), name.size());
}

size_t ReadFirstPieceWindow(File& piece, const PieceNameParts& parts, uint8_t* window) {
    const uint64_t dataArea = DataAreaStart(parts);
    if (piece.Length() <= dataArea)
        return 0;
    piece.Seek(dataArea);
    return piece.ReadUpTo(window, kHeaderWindow);
}

uint64_t BytesToCat(const std::vector<std::string>& paths, uint64_t skippedInFirst) {
    uint64_t total = 0;
    for (const std::string& path : paths) {
        const PathStatus status = GetPathStatus(path);
        if (status.ok)
            total += status.size;
    }
    return total > skippedInFirst ? total - skippedInFirst : 0;
}

told::Unfinished UnfinishedOutput(const std::string& partialPath) {
    told::Unfinished unfinished;
    unfinished.path = partialPath;
    unfinished.undeleted = !partialPath.empty() && GetPathStatus(partialPath).ok;
    return unfinished;
}
