// The header join: a set rejoined under its recorded name, checked, and refused when it is not safe.
#include <gtest/gtest.h>

#include <filesystem>

#include "cat/cat_files.h"
#include "cat/piece_discovery.h"
#include "split_set_writer.h"
#include "tests/support/golden_sets.h"
#include "tests/support/recording_messenger.h"

namespace {

constexpr size_t kFloppy = 1457664;

std::vector<std::string> Discovered(const TempDir& dir) {
    RecordingMessenger quiet;
    const auto pieces = DiscoverPieces(dir.File("_Split#000"), quiet);
    std::vector<std::string> paths;
    if (pieces)
        for (const auto& p : *pieces)
            paths.push_back(p.path);
    return paths;
}

CatResult Join(const TempDir& dir, RecordingMessenger& messenger) {
    CatJob job;
    job.paths = Discovered(dir);
    return CatFiles(job, messenger);
}

// The one outcome told is a join of name whose CRC-32 texts are recorded and computed.
void ExpectToldJoin(const RecordingMessenger& messenger, OutcomeKind kind, const std::string& name,
                    const std::string& recorded, const std::string& computed) {
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{kind});
    const Outcome& told = messenger.told[0];
    const bool joined = kind == OutcomeKind::CatChecked;
    EXPECT_EQ(name, joined ? told.As<told::CatChecked>().name : told.As<told::MismatchWritten>().name);
    const told::CrcTexts& crc = joined ? told.As<told::CatChecked>().crc : told.As<told::MismatchWritten>().crc;
    EXPECT_EQ(recorded, crc.recorded);
    EXPECT_EQ(computed, crc.computed);
}

size_t FileCount(const TempDir& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Native("")))
        ++n;
    return n;
}

} // namespace

TEST(HeaderCat, RejoinsThreeFloppyPiecesAndReportsSizeAndCrc) {
    TempDir dir;
    const std::string data = TestBytes(4000000, 7);
    ASSERT_EQ(3u, WriteSet(dir, "big.bin", data, kFloppy).size());
    dir.Enter();

    RecordingMessenger messenger;
    const CatResult r = Join(dir, messenger);
    EXPECT_TRUE(r.headerJoin);
    EXPECT_TRUE(r.headerRead);
    EXPECT_TRUE(r.written);
    EXPECT_EQ("big.bin", r.recordedName);
    EXPECT_EQ(CrcText(CrcOf(data)), r.recordedCrc);
    EXPECT_EQ(dir.File("big.bin"), r.outputPath);
    EXPECT_EQ(4000000u, r.outputSize);
    EXPECT_TRUE(dir.Read("big.bin") == data) << "rejoined bytes differ from the original";
    ExpectToldJoin(messenger, OutcomeKind::CatChecked, "big.bin", CrcText(CrcOf(data)), CrcText(CrcOf(data)));
    EXPECT_EQ(r.outputPath, messenger.told[0].As<told::CatChecked>().outputPath);
}

TEST(HeaderCat, UnusualButValidSets) {
    struct Case {
        const char* what;
        std::string name;
        std::string data;
        bool headerOnlyFirstPiece;
    };
    const std::vector<Case> cases = {
        {"first piece exactly as long as its header", "short.bin", TestBytes(3000, 2), true},
        {"a '#' in the name", "we#ird#name.txt", TestBytes(5000, 3), false},
        {"a name of 250 bytes", std::string(246, 'n') + ".bin", TestBytes(9000, 4), false},
        {"empty original whose CRC is 0", "empty.bin", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string header = HeaderFor(c.data, c.name);
        WritePieces(dir, header, c.data, c.headerOnlyFirstPiece ? header.size() : 2048);
        if (c.headerOnlyFirstPiece) {
            ASSERT_EQ(header, dir.Read("_Split#000"));
        }
        dir.Enter();

        RecordingMessenger messenger;
        const CatResult r = Join(dir, messenger);
        EXPECT_TRUE(r.written);
        EXPECT_EQ(c.name, r.recordedName);
        EXPECT_TRUE(dir.Read(c.name) == c.data) << "rejoined bytes differ";
        EXPECT_EQ(c.data.size(), r.outputSize);
        const std::string crc = CrcText(CrcOf(c.data));
        ExpectToldJoin(messenger, OutcomeKind::CatChecked, c.name, crc, crc);
    }
}

TEST(HeaderCat, MismatchedCrcIsReportedAndNotListed) {
    // Lower-case hex is no CRC field any writer makes: such a first piece holds no header at all.
    std::string data;
    std::string crc;
    for (uint32_t seed = 1; crc.find_first_of("ABCDEF") == std::string::npos; ++seed) {
        data = TestBytes(6000, seed);
        crc = CrcText(CrcOf(data));
    }
    std::string lower = crc;
    for (char& ch : lower)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    {
        TempDir dir;
        WritePieces(dir, lower + "#lower.bin;", data, 4000);
        dir.Enter();
        RecordingMessenger messenger;
        const CatResult r = Join(dir, messenger);
        EXPECT_FALSE(r.written);
        EXPECT_EQ(lower, r.recordedCrc);
        EXPECT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::NoOriginalName});
        EXPECT_FALSE(dir.Exists("lower.bin"));
    }
    {
        TempDir dir;
        const auto names = WriteSet(dir, "broken.bin", data, 2500);
        std::string piece = dir.Read(names[1]);
        piece[10] = static_cast<char>(piece[10] ^ 0x40);
        dir.Write(names[1], piece);
        dir.Enter();
        RecordingMessenger messenger;
        const CatResult r = Join(dir, messenger);
        EXPECT_FALSE(r.written);
        const std::string joined = dir.Read("broken.bin");
        EXPECT_EQ(data.size(), joined.size());
        ExpectToldJoin(messenger, OutcomeKind::MismatchWritten, "broken.bin", crc, CrcText(CrcOf(joined)));
    }
}

TEST(HeaderCat, UnusableHeadersAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* what;
        std::string prefix;
        std::string scannedCrc;
    };
    const std::vector<Case> cases = {
        {"no '#' at all", "plain data without a mark", "plain data without a mark0123456789"},
        {"empty name", "1A#;", "1A"},
        {"no ';' after the name", "1A#name-without-end", "1A"},
        {"a parent folder", "1A#..\\escape.bin;", "1A"},
        {"a drive", "1A#C:\\escape.bin;", "1A"},
        {"a device", "1A#NUL;", "1A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        WritePieces(dir, c.prefix, "0123456789", 4096);
        dir.Write("_Split#001", "more");
        dir.Enter();
        const size_t before = FileCount(dir);

        RecordingMessenger messenger;
        const CatResult r = Join(dir, messenger);
        EXPECT_TRUE(r.headerJoin);
        EXPECT_TRUE(r.headerRead);
        EXPECT_EQ(c.scannedCrc, r.recordedCrc);
        EXPECT_FALSE(r.written);
        EXPECT_EQ(0u, r.outputSize);
        ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::NoOriginalName});
        EXPECT_EQ(dir.File("_Split#000"), messenger.told[0].As<told::NoOriginalName>().path);
        EXPECT_EQ(before, FileCount(dir)) << "a file was created";
        EXPECT_FALSE(std::filesystem::exists(dir.Native("../escape.bin")));
    }
}

TEST(HeaderCat, RecordedNameOfAnInputIsRefused) {
    TempDir dir;
    const std::string data = TestBytes(5000, 9);
    WriteSet(dir, "_Split#002", data, 2000);
    const std::string pieceTwo = dir.Read("_Split#002");
    dir.Enter();

    RecordingMessenger messenger;
    const CatResult r = Join(dir, messenger);
    EXPECT_FALSE(r.written);
    EXPECT_EQ("_Split#002", r.recordedName);
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::OutputIsAnInput});
    EXPECT_EQ(dir.File("_Split#002"), messenger.told[0].As<told::OutputIsAnInput>().inputPath);
    EXPECT_TRUE(dir.Read("_Split#002") == pieceTwo) << "piece 2 was changed";
}

TEST(HeaderCat, APieceThatCannotBeOpenedEndsTheRunNamingIt) {
    TempDir dir;
    const std::string data = TestBytes(5000, 11);
    WriteSet(dir, "halted.bin", data, 2000);
    std::filesystem::remove(dir.Native("_Split#001"));
    std::filesystem::create_directory(dir.Native("_Split#001"));
    dir.Enter();

    RecordingMessenger messenger;
    const CatResult r = Join(dir, messenger);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(0u, r.outputSize);
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::CatFileError})
        << "no further message after a file error";
    const auto& failed = messenger.told[0].As<told::CatFileError>();
    EXPECT_NE(std::string::npos, failed.reason.find(dir.File("_Split#001"))) << failed.reason;
    EXPECT_EQ(dir.File("halted.bin.partial"), failed.unfinished.path);
    EXPECT_FALSE(failed.unfinished.undeleted) << "the unfinished output was deleted";
    EXPECT_FALSE(dir.Exists("halted.bin")) << "no short file under the real name";
    EXPECT_FALSE(dir.Exists("halted.bin.partial"));

    // A piece that vanished after discovery is a file error too.
    std::filesystem::remove(dir.Native("_Split#001"));
    std::filesystem::remove(dir.Native("halted.bin"));
    CatJob job;
    job.paths = {dir.File("_Split#000"), dir.File("_Split#001")};
    RecordingMessenger missing;
    EXPECT_FALSE(CatFiles(job, missing).written);
    ASSERT_EQ(1u, missing.told.size());
    const std::string& reason = missing.told[0].As<told::CatFileError>().reason;
    EXPECT_NE(std::string::npos, reason.find(dir.File("_Split#001"))) << reason;
}

TEST(HeaderCat, ModeChoice) {
    TempDir dir;
    const std::string data = TestBytes(3000, 5);
    WriteSet(dir, "mode.bin", data, 2000);
    dir.Enter();

    CatJob job;
    job.paths = Discovered(dir);
    job.drawNumber = [] { return 77; };
    RecordingMessenger header;
    EXPECT_TRUE(CatFiles(job, header).headerJoin);

    job.explicitSelection = true;
    RecordingMessenger marked;
    const CatResult plain = CatFiles(job, marked);
    EXPECT_FALSE(plain.headerJoin) << "an explicit selection is always joined plain";
    EXPECT_FALSE(plain.headerRead);
    ASSERT_EQ(marked.Kinds(), std::vector<OutcomeKind>{OutcomeKind::PlainCatDone});
    EXPECT_EQ("File77", marked.told[0].As<told::PlainCatDone>().name);

    std::filesystem::rename(dir.Native("_Split#000"), dir.Native("_split#000"));
    job.explicitSelection = false;
    job.paths[0] = dir.File("_split#000");
    job.drawNumber = [] { return 78; };
    RecordingMessenger lower;
    const CatResult fromLower = CatFiles(job, lower);
    EXPECT_TRUE(fromLower.headerJoin) << "the first piece's header decides, not the spelling of its name";
    EXPECT_TRUE(fromLower.headerRead);

    RecordingMessenger none;
    const CatResult nothing = CatFiles(CatJob{}, none);
    EXPECT_FALSE(nothing.written);
    EXPECT_TRUE(none.told.empty() && none.shown.empty());
}

TEST(HeaderCat, TheGoldenSetsRejoinIntoTheGoldenFile) {
    TempDir dir;
    for (size_t i = 0; i < golden::kHeaderSet.size(); ++i)
        dir.Write(PieceName(static_cast<int>(i)), golden::kHeaderSet[i]);
    dir.Enter();
    RecordingMessenger messenger;
    const CatResult r = Join(dir, messenger);
    EXPECT_TRUE(r.headerJoin);
    EXPECT_EQ(golden::kCrcText, r.recordedCrc);
    EXPECT_EQ(golden::kData, dir.Read(golden::kName));
    ExpectToldJoin(messenger, OutcomeKind::CatChecked, "fox.txt", "414FA339", "414FA339");

    // Without a header the set is its data, picked file by file and joined as it stands.
    TempDir plain;
    std::vector<std::string> paths;
    for (size_t i = 0; i < golden::kNoCrcSet.size(); ++i) {
        plain.Write(PieceName(static_cast<int>(i)), golden::kNoCrcSet[i]);
        paths.push_back(plain.File(PieceName(static_cast<int>(i))));
    }
    plain.Enter();
    CatJob job;
    job.paths = paths;
    job.explicitSelection = true;
    job.drawNumber = [] { return 7; };
    RecordingMessenger quiet;
    const CatResult raw = CatFiles(job, quiet);
    EXPECT_FALSE(raw.headerJoin);
    EXPECT_EQ(golden::kData, plain.Read("File7"));
}
