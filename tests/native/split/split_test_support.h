// What the split tests share: the one-byte-at-a-time split that the engine must
// match, and helpers to run a split in a fresh folder and read its pieces back.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/crc32.h"
#include "core/crc32_table.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "split/split_engine.h"
#include "tests/support/crc_text.h"
#include "tests/support/recording_messenger.h"
#include "tests/support/temp_dir.h"

// The split done the slow, obvious way: every byte counted into the current
// piece, a new piece begun where the count equals the split size, an empty
// last piece dropped. refused: the thousandth piece filled up.
struct ReferenceSet {
    std::vector<std::string> pieces;
    bool refused = false;
};

inline ReferenceSet ByteLoopSplit(const std::string& data, const std::string& prefix, int64_t splitSize) {
    ReferenceSet set;
    set.pieces.push_back(prefix);
    int64_t count = static_cast<int64_t>(prefix.size());
    for (char c : data) {
        set.pieces.back() += c;
        if (++count == splitSize) {
            if (set.pieces.size() == static_cast<size_t>(kMaxPieces)) {
                set.refused = true;
                return set;
            }
            set.pieces.emplace_back();
            count = 0;
        }
    }
    if (set.pieces.back().empty())
        set.pieces.pop_back();
    return set;
}

// Four bytes that, appended to data, make its CRC-32 equal target: each step of
// the table walk is undone from the target backwards, then replayed forwards.
inline std::string WithCrc(std::string data, uint32_t target) {
    const auto& table = kCrc32Tables.t[0];
    uint8_t byTopByte[256];
    for (int k = 0; k < 256; ++k)
        byTopByte[table[k] >> 24] = static_cast<uint8_t>(k);
    uint8_t index[4];
    uint32_t reg = ~target;
    for (int i = 3; i >= 0; --i) {
        index[i] = byTopByte[reg >> 24];
        reg = (reg ^ table[index[i]]) << 8;
    }
    reg = Crc32Bytewise(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(data.data()), data.size());
    for (int i = 0; i < 4; ++i) {
        data += static_cast<char>((reg ^ index[i]) & 0xFF);
        reg = (reg >> 8) ^ table[index[i]];
    }
    return data;
}

// A name that makes the header (crc '#' name ';') exactly headerLength bytes.
inline std::string NameForHeaderLength(const std::string& crcText, size_t headerLength) {
    return std::string(headerLength - crcText.size() - 2, 'm');
}

// The "_Split#*" files of the current folder by piece order; piece 0 may be "_Split#000.exe".
inline std::vector<std::pair<std::string, std::string>> PiecesIn(const TempDir& dir, bool selfCatenating) {
    std::vector<std::pair<std::string, std::string>> pieces;
    for (int n = 0; n < kMaxPieces; ++n) {
        const std::string name = n == 0 && selfCatenating ? kSelfCatenatingName : PieceName(n);
        if (!dir.Exists(name))
            break;
        pieces.emplace_back(name, dir.Read(name));
    }
    return pieces;
}

// A stand-in for the catstub image: recognisable bytes, so a misplaced copy shows.
inline std::string FakeStubImage(size_t size) {
    std::string image(size, '\0');
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<char>('A' + i % 26);
    return image;
}

// One split of `data`, saved as `name` in dir; the pieces go to the current
// directory, so tests enter dir once beforehand (see SplitFolder).
struct SplitRun {
    SplitResult result;
    RecordingMessenger messenger;
    int progressCalls = 0;
};

inline SplitRun RunSplit(const TempDir& dir, const std::string& name, const std::string& data, int64_t splitSize,
                         bool withHeader, const std::string* stub = nullptr, std::string crcText = "?",
                         std::deque<Answer> answers = {}) {
    dir.Write(name, data);
    SplitJob job;
    job.largeFile = dir.File(name);
    job.splitSize = splitSize;
    job.crcText = crcText == "?" ? CrcTextOf(data) : crcText;
    job.withoutCrc = !withHeader;
    if (stub) {
        job.stubImage = reinterpret_cast<const uint8_t*>(stub->data());
        job.stubSize = stub->size();
    }
    SplitRun run{{SplitEnd::Done, 0, {}}, {}, 0};
    run.messenger.answers = std::move(answers);
    run.result = SplitLargeFile(job, run.messenger, [&run](uint64_t, uint64_t) {
        ++run.progressCalls;
        return true;
    });
    return run;
}

inline const char* EndName(SplitEnd end) {
    switch (end) {
    case SplitEnd::Done:
        return "Done";
    case SplitEnd::TooManyPieces:
        return "TooManyPieces";
    case SplitEnd::FileError:
        return "FileError";
    case SplitEnd::ChangedWhileSplitting:
        return "ChangedWhileSplitting";
    case SplitEnd::WouldOverwriteLargeFile:
        return "WouldOverwriteLargeFile";
    case SplitEnd::Refused:
        return "Refused";
    case SplitEnd::Stopped:
        return "Stopped";
    }
    return "?";
}

inline std::ostream& operator<<(std::ostream& os, SplitEnd end) {
    return os << EndName(end);
}

// A test whose current directory is a fresh folder, where the pieces land.
class SplitFolder : public ::testing::Test {
protected:
    void SetUp() override { dir.Enter(); }
    // Removes every piece, so that the next split starts from an empty folder.
    void RemovePieces() {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Native(".")))
            if (entry.path().filename().string().rfind("_Split#", 0) == 0)
                std::filesystem::remove_all(entry.path());
    }
    TempDir dir;
};
