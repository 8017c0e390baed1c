// Recorded names in ASCII, UTF-8 or an ANSI code page, made names to create.
#include <gtest/gtest.h>

#include <string>

#include "core/name_bytes.h"
#include "core/recorded_name.h"
#include "platform/name_conversion.h"

namespace {

const std::string kUebungUtf8 = "\xC3\x9C"
                                "bung.avi";
const std::string kUebung1252 = "\xDC"
                                "bung.avi";

struct Read {
    HeaderStatus status;
    std::string name;
    size_t dataOffset;
};

Read ReadName(const std::string& window) {
    PieceHeader header;
    RecordedNameBuffers buffers;
    const HeaderStatus status =
        ReadPieceHeaderForFiles(reinterpret_cast<const uint8_t*>(window.data()), window.size(), &header, &buffers);
    return {status, header.name ? std::string(header.name, header.nameLen) : "", header.dataOffset};
}

} // namespace

TEST(NameEncoding, Utf8MeansShortestFormsOfRealCharacters) {
    auto utf8 = [](const std::string& s) { return IsUtf8(s.data(), s.size()); };
    EXPECT_TRUE(utf8("movie.avi"));
    EXPECT_TRUE(utf8(kUebungUtf8));
    EXPECT_TRUE(utf8("\xE6\x97\xA5\xE6\x9C\xAC.txt")) << "Japanese";
    EXPECT_TRUE(utf8("\xF0\x9F\x8E\xAC.mp4")) << "an emoji";
    EXPECT_FALSE(utf8(kUebung1252));
    EXPECT_FALSE(utf8("\xC0\xAF")) << "overlong '/'";
    EXPECT_FALSE(utf8("\xED\xA0\x80")) << "a surrogate";
    EXPECT_FALSE(utf8("\xF4\x90\x80\x80")) << "past U+10FFFF";
    EXPECT_FALSE(utf8("a\xE6\x97")) << "cut short";
    EXPECT_TRUE(IsAscii("movie.avi", 9));
    EXPECT_FALSE(IsAscii(kUebungUtf8.data(), kUebungUtf8.size()));
}

TEST(NameEncoding, WindowsLengthCountsUtf16Units) {
    const std::string emoji = "\xF0\x9F\x8E\xAC";
    EXPECT_EQ(2u, Utf16Units(emoji.data(), emoji.size()));
    EXPECT_EQ(9u, Utf16Units(kUebungUtf8.data(), kUebungUtf8.size()));
    EXPECT_EQ(9u, Utf16Units(kUebung1252.data(), kUebung1252.size())) << "not UTF-8: one per byte";
}

TEST(NameEncoding, AnsiNamesHereAreWindows1252) {
    char out[16];
    ASSERT_EQ(10u, AnsiToUtf8(kUebung1252.data(), kUebung1252.size(), out, sizeof out));
    EXPECT_EQ(kUebungUtf8, out);
    ASSERT_EQ(5u, AnsiToUtf8("\x80\x81", 2, out, sizeof out)) << "euro sign and an undefined byte";
    EXPECT_EQ("\xE2\x82\xAC\xC2\x81", std::string(out));
    EXPECT_EQ(0u, AnsiToUtf8("\x80\x80\x80\x80\x80", 5, out, 15)) << "15 bytes and the zero do not fit in 15";
}

TEST(RecordedName, AsciiNamesReadExactlyAsBefore) {
    const std::string window = "2FFE8C3#movie.avi;DATA";
    const Read read = ReadName(window);
    EXPECT_EQ(HeaderStatus::Ok, read.status);
    EXPECT_EQ("movie.avi", read.name);
    EXPECT_EQ(18u, read.dataOffset);
    EXPECT_EQ(HeaderStatus::UnsafeName, ReadName("1#a\\b;").status);
}

TEST(RecordedName, Utf8IsKeptAndAnAnsiNameBecomesUtf8) {
    const Read utf8 = ReadName("1A#" + kUebungUtf8 + ";data");
    EXPECT_EQ(HeaderStatus::Ok, utf8.status);
    EXPECT_EQ(kUebungUtf8, utf8.name);
    EXPECT_EQ(3u + kUebungUtf8.size() + 1, utf8.dataOffset);

    const Read ansi = ReadName("1A#" + kUebung1252 + ";data");
    EXPECT_EQ(HeaderStatus::Ok, ansi.status);
    EXPECT_EQ(kUebungUtf8, ansi.name);
    EXPECT_EQ(3u + kUebung1252.size() + 1, ansi.dataOffset) << "data follows the recorded bytes";
}

TEST(RecordedName, PlainNameRulesApplyToTheConvertedName) {
    EXPECT_EQ(HeaderStatus::UnsafeName, ReadName("1#\xDC:x;").status);
    std::string long8;
    for (int i = 0; i < 255; ++i)
        long8 += "\xC3\xA9";
    EXPECT_EQ(HeaderStatus::Ok, ReadName("1#" + long8 + ";").status) << "255 characters in 510 bytes";
    EXPECT_EQ(HeaderStatus::UnsafeName, ReadName("1#" + long8 + "x;").status) << "256 characters";
    // A superscript port digit names a device in either encoding, and a converted name is no way around it.
    EXPECT_EQ(HeaderStatus::UnsafeName, ReadName("1#COM\xC2\xB9.txt;").status) << "UTF-8";
    EXPECT_EQ(HeaderStatus::UnsafeName, ReadName("1#lpt\xB2;").status) << "Windows-1252";
}

TEST(PartialName, NeverCutsAUtf8Character) {
    std::string name(250, 'a');
    name += "\xC3\xA9\xC3\xA9"; // 254 bytes ending in two two-byte characters
    const size_t kept = KeptBeforeSuffix(name.data(), name.size(), 8);
    EXPECT_LE(kept + 8, kMaxNameBytes);
    EXPECT_TRUE(IsUtf8(name.data(), kept)) << kept;
    EXPECT_EQ(KeptBeforeSuffix("short", 5, 8), 5u);
}
