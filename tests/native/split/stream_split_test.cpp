// The split of a stream: the same pieces, header and recovery files as the split of a file of the same
// bytes, whether the CRC text fills its placeholder or the pieces are rewritten from themselves; the set
// read back by catstub's rules; and the refusals that only the stream's end can bring.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

#include "core/piece_header.h"
#include "core/piece_tally.h"
#include "recovery/recovery_writer.h"
#include "split/split_recovery.h"
#include "split/stream_split.h"
#include "split_test_support.h"

namespace {

std::map<std::string, std::string> FilesIn(const TempDir& dir, const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Native(folder)))
        files[entry.path().filename().string()] = dir.Read(folder + "/" + entry.path().filename().string());
    return files;
}

// catstub's reading of a set: the header at the start of the data area, the pieces tallied by number with
// none missing, the data after the header and every later piece whole.
std::string JoinedByCatstubRules(const std::map<std::string, std::string>& files, size_t stubSize, std::string* crcText,
                                 std::string* name) {
    PieceTally tally;
    std::vector<std::string> byNumber(kMaxPieces);
    for (const auto& [file, bytes] : files) {
        const PieceNameParts parts = ParsePieceName(file.data(), file.size());
        if (parts.number >= 0 && tally.Add(parts.number, parts.number) < 0)
            byNumber[parts.number] = bytes;
    }
    EXPECT_EQ(-1, tally.NextMissing());
    const std::string& first = byNumber[0];
    PieceHeader header;
    const size_t window = std::min<size_t>(kHeaderWindow, first.size() - stubSize);
    EXPECT_EQ(HeaderStatus::Ok,
              ReadPieceHeader(reinterpret_cast<const uint8_t*>(first.data()) + stubSize, window, &header));
    crcText->assign(header.crc, header.crcLen);
    name->assign(header.name, header.nameLen);
    std::string data = first.substr(stubSize + header.dataOffset);
    for (int n = 1; n <= tally.Highest(); ++n)
        data += byNumber[n];
    return data;
}

class StreamSplitTest : public SplitFolder {
protected:
    // Splits data from the file source.bin as a file into "file/" and as a stream into "stream/".
    void SplitBoth(const std::string& data, int64_t splitSize, const std::string* stub, uint32_t restore) {
        dir.Write("source.bin", data);
        for (const char* folder : {"file", "stream"}) {
            std::filesystem::create_directory(dir.Native(folder));
            std::filesystem::current_path(dir.Native(folder));
            std::optional<RecoveryWriter> writer;
            SplitJob job;
            job.splitSize = splitSize;
            if (stub) {
                job.stubImage = reinterpret_cast<const uint8_t*>(stub->data());
                job.stubSize = stub->size();
            }
            RecordingMessenger messenger;
            const RecoveryRequest request{false, restore};
            if (restore > 0) {
                writer.emplace(std::string(folder) == "file" ? dir.File("source.bin") : "", splitSize, request,
                               kDefaultRecoveryMemory);
                job.observer = &*writer;
            }
            SplitResult result;
            if (std::string(folder) == "file") {
                job.largeFile = dir.File("source.bin");
                if (writer) {
                    ASSERT_FALSE(ReserveSplitRecovery(*writer, LongestPrefix(job), data.size(), splitSize,
                                                      stub != nullptr, request, kDefaultRecoveryMemory));
                }
                result = SplitLargeFile(job, messenger);
            } else {
                job.largeFile = "source.bin"; // only the name the header records
                File input(dir.File("source.bin"), File::Mode::ReadDenyWrite);
                StreamSplit stream{&input, "standard input", {}};
                stream.prepareObserver = [&](uint64_t prefix, uint64_t length) {
                    return ReserveSplitRecovery(*writer, prefix, length, splitSize, stub != nullptr, request,
                                                kDefaultRecoveryMemory);
                };
                result = SplitStream(job, stream, messenger);
            }
            ASSERT_EQ(SplitEnd::Done, result.end) << folder;
        }
        std::filesystem::current_path(dir.Native("."));
    }
};

} // namespace

TEST_F(StreamSplitTest, PiecesHeaderAndRecoveryFilesAreTheFilesAndCatstubReadsThem) {
    const std::string stub = FakeStubImage(3000);
    // Under the 8-digit placeholder the last piece holds 3 bytes; "1234" frees 4, so it goes.
    const std::string header = "12345678#source.bin;";
    const size_t vanishing = 5 * 1000 + 3 - header.size();
    const struct {
        const char* what;
        std::string data;
        int64_t size;
        const std::string* stub;
        uint32_t restore;
        const char* crc;
    } cases[] = {
        {"8-digit CRC, filled in", WithCrc(TestBytes(200000, 1), 0x89ABCDEF), 30000, nullptr, 2, "89ABCDEF"},
        {"short CRC, rewritten", WithCrc(TestBytes(200000, 2), 0x00ABCDEF), 30000, nullptr, 2, "ABCDEF"},
        {"slices cut into chunks", WithCrc(TestBytes(7000000, 7), 0x89ABCDEF), 2400000, nullptr, 1, "89ABCDEF"},
        {"short CRC, last piece gone", WithCrc(TestBytes(vanishing - 4, 3), 0x1234), 1000, nullptr, 0, "1234"},
        {"self-catenating, short CRC", WithCrc(TestBytes(50000, 4), 0x5), 7000, &stub, 1, "5"},
        // 1000 pieces of 100 bytes hold 3 bytes too few under the placeholder; "1234" makes room.
        {"1000 pieces only with the short CRC", WithCrc(TestBytes(100000 + 3 - 20 - 4, 6), 0x1234), 100, nullptr, 0,
         "1234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(dir.Native("file"));
        std::filesystem::remove_all(dir.Native("stream"));
        SplitBoth(c.data, c.size, c.stub, c.restore);
        const auto fromFile = FilesIn(dir, "file");
        const auto fromStream = FilesIn(dir, "stream");
        EXPECT_EQ(fromFile.size(), fromStream.size());
        EXPECT_TRUE(fromFile == fromStream) << "every piece and recovery file the same byte for byte";
        std::string crc, name;
        EXPECT_TRUE(JoinedByCatstubRules(fromStream, c.stub ? c.stub->size() : 0, &crc, &name) == c.data);
        EXPECT_EQ(c.crc, crc);
        EXPECT_EQ("source.bin", name);
    }
}

TEST_F(StreamSplitTest, WhatOnlyTheEndCanTellDeletesThePieces) {
    const struct {
        const char* what;
        std::string data;
        int64_t size;
        bool header;
        OutcomeKind told;
    } cases[] = {
        {"no larger than a piece", TestBytes(900, 5), 1000, true, OutcomeKind::LargeFileNotLarger},
        {"more than 1000 pieces, no header", TestBytes(100001, 5), 100, false, OutcomeKind::TooManyPieces},
        {"1000 pieces and 3 bytes, 8-digit CRC", WithCrc(TestBytes(100000 + 3 - 20 - 4, 6), 0x89ABCDEF), 100, true,
         OutcomeKind::TooManyPieces},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("source.bin", c.data);
        File input(dir.File("source.bin"), File::Mode::ReadDenyWrite);
        SplitJob job;
        job.largeFile = "source.bin";
        job.splitSize = c.size;
        job.withoutCrc = !c.header;
        RecordingMessenger messenger;
        EXPECT_NE(SplitEnd::Done, SplitStream(job, StreamSplit{&input, "standard input", {}}, messenger).end);
        EXPECT_EQ(std::vector<OutcomeKind>{c.told}, messenger.Kinds());
        EXPECT_TRUE(PiecesIn(dir, false).empty());
    }
}
