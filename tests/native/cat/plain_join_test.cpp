// The plain join: files glued byte for byte into a new "File%i" that never replaces anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>

#include "cat/cat_files.h"
#include "cat/plain_join.h"
#include "split_set_writer.h"
#include "tests/support/recording_messenger.h"

namespace {

std::function<int()> Draws(std::vector<int> numbers) {
    auto next = std::make_shared<size_t>(0);
    return [numbers, next] {
        const int n = numbers[std::min(*next, numbers.size() - 1)];
        ++*next;
        return n;
    };
}

} // namespace

TEST(PlainCat, JoinsPiecesByteForByteWithTheHeaderKept) {
    TempDir dir;
    const std::string data = TestBytes(7000, 21);
    const auto names = WriteSet(dir, "kept.bin", data, 3000);
    ASSERT_EQ(3u, names.size());
    dir.Enter();

    CatJob job;
    job.paths = PathsIn(dir, names);
    job.explicitSelection = true;
    job.drawNumber = [] { return 123; };
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);

    const std::string expected = HeaderFor(data, "kept.bin") + data;
    EXPECT_TRUE(r.written);
    EXPECT_FALSE(r.headerRead);
    EXPECT_EQ(dir.File("File123"), r.outputPath);
    EXPECT_TRUE(dir.Read("File123") == expected) << "output is not the pieces joined whole";
    EXPECT_EQ(expected.size(), r.outputSize);
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::PlainCatDone});
    EXPECT_EQ("File123", messenger.told[0].As<told::PlainCatDone>().name);
    EXPECT_EQ(3u, messenger.told[0].As<told::PlainCatDone>().files);
}

TEST(PlainCat, NeverReplacesAFileOrAnInput) {
    TempDir dir;
    dir.Write("a.bin", "AAA");
    dir.Write("File7", "taken");
    dir.Enter();

    CatJob job;
    job.paths = {dir.File("a.bin")};
    job.drawNumber = Draws({7, 7, 9});
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);
    EXPECT_EQ(dir.File("File9"), r.outputPath) << "File7 exists, so the name is drawn again";
    EXPECT_EQ("taken", dir.Read("File7"));
    EXPECT_EQ("AAA", dir.Read("File9"));

    // A name whose status cannot be read (here a link to nothing) is taken, not free.
    std::filesystem::create_symlink("nowhere.bin", dir.Native("File3"));
    job.drawNumber = Draws({3, 4});
    RecordingMessenger linked;
    EXPECT_EQ(dir.File("File4"), CatFiles(job, linked).outputPath);
    EXPECT_FALSE(dir.Exists("nowhere.bin")) << "nothing is created through the name";

    // An input missing at the moment of the join must not be created and read back while written.
    job.paths = {dir.File("a.bin"), dir.File("File5")};
    job.drawNumber = Draws({5, 6});
    RecordingMessenger missing;
    const CatResult m = CatFiles(job, missing);
    EXPECT_EQ(dir.File("File6"), m.outputPath);
    EXPECT_FALSE(m.written);
    ASSERT_EQ(missing.Kinds(), std::vector<OutcomeKind>{OutcomeKind::CatFileError});
    const std::string& reason = missing.told[0].As<told::CatFileError>().reason;
    EXPECT_NE(std::string::npos, reason.find(dir.File("File5"))) << reason;
}

TEST(PlainCat, AnEntryThatCannotBeOpenedLeavesNoOutput) {
    TempDir dir;
    dir.Write("one.bin", "first part");
    std::filesystem::create_directory(dir.Native("folder"));
    dir.Enter();

    CatJob job;
    job.paths = {dir.File("one.bin"), dir.File("folder")};
    job.explicitSelection = true;
    job.drawNumber = [] { return 4; };
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(0u, r.outputSize);
    ASSERT_EQ(messenger.Kinds(), std::vector<OutcomeKind>{OutcomeKind::CatFileError});
    const auto& failed = messenger.told[0].As<told::CatFileError>();
    EXPECT_NE(std::string::npos, failed.reason.find(dir.File("folder"))) << failed.reason;
    EXPECT_EQ(dir.File("File4.partial"), failed.unfinished.path);
    EXPECT_FALSE(dir.Exists("File4"));
    EXPECT_FALSE(dir.Exists("File4.partial")) << "the unfinished output is deleted";
}

TEST(PlainCat, NameKeepsTheFormOfTheFormat) {
    EXPECT_EQ("File42", FormatPlainName("File%i", 42));
    EXPECT_EQ("Datei0.bin", FormatPlainName("Datei%i.bin", 0));

    TempDir dir;
    dir.Write("x", "x");
    dir.Enter();
    CatJob job;
    job.paths = {dir.File("x")};
    RecordingMessenger messenger;
    const CatResult r = CatFiles(job, messenger);
    std::smatch m;
    const std::string name = r.outputPath.substr(r.outputPath.rfind('\\') + 1);
    ASSERT_TRUE(std::regex_match(name, m, std::regex("File([0-9]+)"))) << "drawn name: " << name;
    EXPECT_LT(std::stoi(m[1]), 32768);
}
