// Splits one file with the split engine, or joins the set in the current
// directory with the header join, for timing against the standard tools. Not a
// test: bench/split_bench.sh drives it. Each run ends with the bytes this
// process read ("rchar" of /proc/self/io) on stderr.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "core/crc32.h"
#include "core/crc32_job.h"
#include "core/piece_header.h"
#include "platform/file.h"
#include "platform/path_text.h"
#include "recovery/gf16.h"
#include "recovery/md5_lanes.h"
#include "recovery/recovery_writer.h"
#include "split/split_engine.h"

namespace {

class ConsoleMessenger : public Messenger {
public:
    Answer Show(const std::string& text, Icon, Buttons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return Answer::Ok;
    }
    void Tell(const Outcome& outcome) override {
        std::fprintf(stderr, "outcome %d\n", static_cast<int>(outcome.Kind()));
    }
    Answer Ask(const Outcome&) override { return Answer::No; }
};

int Usage() {
    std::fprintf(stderr, "usage: split_bench_tool crc FILE\n"
                         "       split_bench_tool split FILE SPLIT_SIZE\n"
                         "       split_bench_tool known CRC_TEXT FILE SPLIT_SIZE\n"
                         "       split_bench_tool recovery FILE SPLIT_SIZE PERCENT\n"
                         "       split_bench_tool join\n"
                         "       split_bench_tool paths\n"
                         "crc prints the file's CRC-32; split splits with the CRC-32 not yet known (taken while\n"
                         "copying); known splits with the CRC-32 given. Pieces land here. join rejoins the set\n"
                         "_Split#000... found here and checks it. paths names the SIMD paths this processor takes.\n");
    return 2;
}

// Bytes this process read through system calls, as the kernel counts them.
void ReportBytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            std::fprintf(stderr, "rchar %llu\n", value);
}

int Split(const std::string& file, const std::string& crcText, const char* sizeText,
          const char* recoveryPercent = nullptr) {
    SplitJob job;
    job.largeFile = PortablePath(file);
    job.crcText = crcText;
    job.splitSize = std::strtoll(sizeText, nullptr, 10);
    if (job.splitSize <= 0)
        return Usage();
    std::optional<RecoveryWriter> recovery;
    if (recoveryPercent) {
        const RecoveryRequest request{true, static_cast<uint32_t>(std::atoi(recoveryPercent))};
        recovery.emplace(job.largeFile, job.splitSize, request, kDefaultRecoveryMemory);
        job.observer = &*recovery;
    }
    ConsoleMessenger messenger;
    const SplitResult result = SplitLargeFile(job, messenger);
    if (result.end != SplitEnd::Done)
        return 1;
    std::printf("%d pieces\n", result.piecesWritten);
    if (recovery)
        std::printf("slice %llu count %u reread %llu\n", static_cast<unsigned long long>(recovery->Plan().sliceSize),
                    recovery->Plan().recoverySlices, static_cast<unsigned long long>(recovery->Outcome().bytesReread));
    return 0;
}

int Join() {
    ConsoleMessenger messenger;
    const auto pieces = DiscoverPieces(CurrentDirectory() + "\\_Split#000", messenger);
    if (!pieces)
        return 1;
    CatJob job;
    for (const DiscoveredPiece& piece : *pieces)
        job.paths.push_back(piece.path);
    return CatFiles(job, messenger).written ? 0 : 1;
}

int Paths() {
    const char* md5 = "one-by-one";
    for (const md5lanes::Path& path : md5lanes::kPaths)
        if (path.available()) {
            md5 = path.name;
            break;
        }
    std::printf("MD5 lanes %s, CRC-32 %s, GF(2^16) %s\n", md5, Crc32FastPathName(), gf16::WorkingPathName());
    return 0;
}

int Run(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "crc" && argc == 3) {
        const CrcJobResult measured = MeasureFileCrc(PortablePath(argv[2]), {});
        if (measured.end != CrcJobEnd::Done) {
            std::fprintf(stderr, "cannot read %s: %s\n", argv[2], measured.failure.c_str());
            return 1;
        }
        std::printf("%s\n", CrcText(measured.crc).c_str());
        return 0;
    }
    if (mode == "split" && argc == 4)
        return Split(argv[2], "", argv[3]);
    if (mode == "known" && argc == 5)
        return Split(argv[3], argv[2], argv[4]);
    if (mode == "recovery" && argc == 5)
        return Split(argv[2], "", argv[3], argv[4]);
    if (mode == "join" && argc == 2)
        return Join();
    if (mode == "paths" && argc == 2)
        return Paths();
    return Usage();
}

} // namespace

int main(int argc, char** argv) {
    const int status = Run(argc, argv);
    ReportBytesRead();
    return status;
}
