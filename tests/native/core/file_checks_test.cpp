// The file checks and the messages they show.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/file_checks.h"
#include "platform/error_text.h"
#include "platform/file.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_dir.h"

TEST(FileChecks, EmptyAndMissingPathsShowTheProblemWithTheSystemText) {
    TempDir dir;
    RecordingMessenger m;
    EXPECT_EQ(-1, GetFileSize("", true, m));
    ASSERT_EQ(1u, m.shown.size());
    EXPECT_EQ(0u, m.shown[0].text.find("Problem with File:\n\n\n")) << m.shown[0];
    EXPECT_GT(m.shown[0].text.size(), std::string("Problem with File:\n\n\n").size()) << "the system text follows";
    EXPECT_EQ(Icon::Exclamation, m.shown[0].icon);

    m.Clear();
    const std::string missing = dir.File("missing.bin");
    EXPECT_FALSE(CheckFile(missing, true, m));
    ASSERT_EQ(1u, m.shown.size());
    const PathStatus st = GetPathStatus(missing);
    EXPECT_EQ("Problem with File:\n" + missing + "\n\n" + SystemErrorText(st.error), m.shown[0].text);
}

TEST(FileChecks, FolderIsRefusedWithTheStopIcon) {
    TempDir dir;
    RecordingMessenger m;
    EXPECT_EQ(-1, GetFileSize(dir.Path(), true, m));
    ASSERT_EQ(1u, m.shown.size());
    EXPECT_EQ((ShownMessage{"File:\n" + dir.Path() + "\nIs a directory", Icon::Hand, Buttons::Ok}), m.shown[0]);
}

TEST(FileChecks, SilentWhenMessagesAreOff) {
    TempDir dir;
    RecordingMessenger m;
    EXPECT_EQ(-1, GetFileSize(dir.Path(), false, m));
    EXPECT_EQ(-1, GetFileSize("", false, m));
    EXPECT_FALSE(CheckFile(dir.File("nope"), false, m));
    EXPECT_TRUE(m.shown.empty());
}

TEST(FileChecks, SizesAreSixtyFourBit) {
    TempDir dir;
    RecordingMessenger m;
    dir.Write("empty", "");
    EXPECT_EQ(0, GetFileSize(dir.File("empty"), true, m));
    // Sparse files: 4 GiB + 1 and one whose low 32 bits are all ones.
    for (const uint64_t size : {0x100000001ull, 0x1FFFFFFFFull, 0x80000000ull}) {
        std::filesystem::resize_file(dir.Native("empty"), size);
        EXPECT_EQ(static_cast<int64_t>(size), GetFileSize(dir.File("empty"), true, m));
    }
    EXPECT_TRUE(m.shown.empty());
}
