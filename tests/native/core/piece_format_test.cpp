// Piece names and the piece header, as both programs read and write them.
#include <gtest/gtest.h>

#include "core/piece_header.h"
#include "core/piece_name.h"

namespace {

HeaderStatus Parse(const std::string& bytes, PieceHeader* h) {
    return ReadPieceHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), h);
}

std::string Crc(const PieceHeader& h) {
    return std::string(h.crc, h.crcLen);
}
std::string Name(const PieceHeader& h) {
    return std::string(h.name, h.nameLen);
}

} // namespace

TEST(PieceName, ThreeDigitsWithLeadingZeros) {
    EXPECT_EQ("_Split#000", PieceName(0));
    EXPECT_EQ("_Split#007", PieceName(7));
    EXPECT_EQ("_Split#042", PieceName(42));
    EXPECT_EQ("_Split#512", PieceName(512));
    EXPECT_EQ("_Split#999", PieceName(999));
    EXPECT_EQ("", PieceName(1000));
    EXPECT_EQ("", PieceName(-1));
}

TEST(PieceName, NumberOfANameIgnoresCaseAndWantsExactlyThreeDigits) {
    auto number = [](const std::string& s) { return PieceNumberOf(s.data(), s.size()); };
    EXPECT_EQ(0, number("_Split#000"));
    EXPECT_EQ(17, number("_SPLIT#017"));
    EXPECT_EQ(999, number("_split#999"));
    EXPECT_EQ(-1, number("_Split#000.exe"));
    EXPECT_EQ(-1, number("_Split#01"));
    EXPECT_EQ(-1, number("_Split#0001"));
    EXPECT_EQ(-1, number("_Split#abc"));
    EXPECT_EQ(-1, number("_Split#notes.txt"));
    EXPECT_EQ(-1, number("xSplit#001"));
}

TEST(PieceHeader, BuiltFromTheCrcTextAndTheNameAfterTheLastBackslash) {
    EXPECT_EQ("2FFE8C3#movie.avi;", BuildPieceHeader("2FFE8C3", "C:\\films\\movie.avi"));
    EXPECT_EQ(18u, BuildPieceHeader("2FFE8C3", "movie.avi").size());
    EXPECT_EQ("1#a_b.txt;", BuildPieceHeader("1", "D:\\x\\a;b.txt")) << "a ';' would cut the name";
    EXPECT_EQ("0#we#ird;", BuildPieceHeader("0", "we#ird"));
    // Typed names: only the last component is recorded, whatever separates it there.
    EXPECT_EQ("big.iso", RecordedName("C:big.iso"));
#ifdef _WIN32
    EXPECT_EQ("big.iso", RecordedName("C:/data/big.iso"));
    EXPECT_EQ("a_b", RecordedName("x\\y/a;b"));
#else
    EXPECT_EQ("a/b.bin", RecordedName("sub\\a/b.bin")) << "a '/' stands for a backslash of the POSIX name";
#endif
}

TEST(PieceHeader, OnlyUppercaseHexOfOneToEightDigitsIsACrcField) {
    PieceHeader h;
    for (const char* notHeader : {"#name;", "1a#name;", "123456789#name;", "1 #name;", "\x89PNG#name;"})
        EXPECT_EQ(HeaderStatus::NoName, Parse(notHeader, &h)) << notHeader;
    for (const char* header : {"0#name;", "FFFFFFFF#name;", "00012AB#name;"})
        EXPECT_EQ(HeaderStatus::Ok, Parse(header, &h)) << header;
}

TEST(PieceHeader, ReadsCrcNameAndDataOffset) {
    PieceHeader h;
    const std::string piece = "2FFE8C3#movie.avi;DATA"; // the header points into it
    ASSERT_EQ(HeaderStatus::Ok, Parse(piece, &h));
    EXPECT_EQ("2FFE8C3", Crc(h));
    EXPECT_EQ("movie.avi", Name(h));
    EXPECT_EQ(18u, h.dataOffset);

    const std::string hashInName = "1A#we#ird;x";
    ASSERT_EQ(HeaderStatus::Ok, Parse(hashInName, &h)) << "a '#' in the name is carried";
    EXPECT_EQ("we#ird", Name(h));

    ASSERT_EQ(HeaderStatus::Ok, Parse("ABC#n;", &h)) << "a short file that ends with its header";
    EXPECT_EQ(6u, h.dataOffset);
}

TEST(PieceHeader, MissingPartsGiveNoName) {
    PieceHeader h;
    const std::string noHash = "no hash here; at all";
    EXPECT_EQ(HeaderStatus::NoName, Parse(noHash, &h));
    EXPECT_EQ("no hash here; at all", Crc(h)) << "the CRC field runs to the end of the bytes read";
    EXPECT_EQ(HeaderStatus::NoName, Parse("ABC#name-without-end", &h));
    EXPECT_EQ(HeaderStatus::NoName, Parse("ABC#;data", &h));
    EXPECT_EQ(HeaderStatus::NoName, Parse("", &h));
}

TEST(PieceHeader, UnsafeNamesAreRejected) {
    PieceHeader h;
    for (const char* bad :
         {"1#..\\evil.txt;", "1#C:\\x;",     "1#a/b;",     "1#..;",          "1#.;",        "1#a:b;",
          "1#a*b;",          "1#a?b;",       "1#a\"b;",    "1#a<b;",         "1#a>b;",      "1#a|b;",
          "1#a\tb;",         "1#CON;",       "1#nul.txt;", "1#com1;",        "1#LPT9.log;", "1#trailing.;",
          "1#trailing ;",    "1#a\x7f.txt;", "1#COM\xb9;", "1#lpt\xb2.txt;", "1#Com\xb3;"})
        EXPECT_EQ(HeaderStatus::UnsafeName, Parse(bad, &h)) << bad;
    for (const char* good : {"1#movie.avi;", "1#.hidden;", "1#console;", "1#com10;", "1#a b.txt;", "1#\xe4\xf6.txt;"})
        EXPECT_EQ(HeaderStatus::Ok, Parse(good, &h)) << good;
}

TEST(PieceHeader, HeaderEndingAtTheWindowEdgeAndLongNames) {
    PieceHeader h;
    const std::string name(250, 'n');
    std::string window = "FFFFFFFF#" + name + ";";
    ASSERT_EQ(HeaderStatus::Ok, Parse(window, &h)) << "a 250-byte name is read whole";
    EXPECT_EQ(name, Name(h));
    EXPECT_EQ(window.size(), h.dataOffset);

    std::string edge(kHeaderWindow, 'x');
    edge.replace(0, 2, "1#");
    edge.back() = ';';
    EXPECT_EQ(HeaderStatus::UnsafeName, Parse(edge, &h)) << "longer than any Windows name";
    const std::string atEdge = "1#" + std::string(253, 'n') + ";";
    ASSERT_EQ(HeaderStatus::Ok, Parse(atEdge, &h)) << "a header that ends with the bytes read";
    EXPECT_EQ(atEdge.size(), h.dataOffset);
}
