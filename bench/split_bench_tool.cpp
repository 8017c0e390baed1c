// Splits one file with the split engine in the current directory, for timing
// against other splitters. Not a test: bench/split_bench.sh drives it.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "split/split_engine.h"

namespace {

class ConsoleMessenger : public Messenger {
public:
    Answer Show(const std::string& text, Icon, Buttons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return Answer::Ok;
    }
};

int Usage() {
    std::fprintf(stderr, "usage: split_bench_tool crc FILE\n"
                         "       split_bench_tool measure FILE SPLIT_SIZE\n"
                         "       split_bench_tool known CRC_TEXT FILE SPLIT_SIZE\n"
                         "crc prints the file's CRC-32; measure takes it first and then splits (as a split whose\n"
                         "CRC-32 is not yet known); known splits with the CRC-32 given. Pieces land here.\n");
    return 2;
}

std::optional<std::string> MeasureCrc(const std::string& file) {
    Crc32 crc;
    const std::optional<uint32_t> value = crc.FileCrc(file.c_str());
    if (!value)
        return std::nullopt;
    return CrcText(*value);
}

int Split(const std::string& file, const std::string& crcText, const char* sizeText) {
    SplitJob job;
    job.largeFile = file;
    job.crcText = crcText;
    job.splitSize = std::strtoll(sizeText, nullptr, 10);
    if (job.splitSize <= 0)
        return Usage();
    ConsoleMessenger messenger;
    const SplitResult result = SplitLargeFile(job, messenger);
    if (result.end != SplitEnd::Done)
        return 1;
    std::printf("%d pieces\n", result.piecesWritten);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "crc" && argc == 3) {
        const std::optional<std::string> crc = MeasureCrc(argv[2]);
        if (!crc) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        std::printf("%s\n", crc->c_str());
        return 0;
    }
    if (mode == "measure" && argc == 4) {
        const std::optional<std::string> crc = MeasureCrc(argv[2]);
        if (!crc) {
            std::fprintf(stderr, "cannot read %s\n", argv[2]);
            return 1;
        }
        return Split(argv[2], *crc, argv[3]);
    }
    if (mode == "known" && argc == 5)
        return Split(argv[3], argv[2], argv[4]);
    return Usage();
}
