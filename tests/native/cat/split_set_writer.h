// Writes split sets for the tests: optional header, then the data, cut into pieces of the split size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "tests/support/crc_text.h"
#include "tests/support/temp_dir.h"

// The header the split writes for data under name.
inline std::string HeaderFor(const std::string& data, const std::string& name) {
    return BuildPieceHeader(CrcText(CrcOf(data)), name);
}

// Writes prefix + data as pieces "_Split#000", "_Split#001", ... of splitSize bytes each (the last
// holds the rest) and returns the piece names. The prefix is the header, or anything a test forges.
inline std::vector<std::string> WritePieces(const TempDir& dir, const std::string& prefix, const std::string& data,
                                            size_t splitSize) {
    const std::string all = prefix + data;
    std::vector<std::string> names;
    size_t at = 0;
    do {
        const size_t take = std::min(splitSize, all.size() - at);
        names.push_back(PieceName(static_cast<int>(names.size())));
        dir.Write(names.back(), all.substr(at, take));
        at += take;
    } while (at < all.size());
    return names;
}

// A set as the split makes it: header naming the large file, then its data.
inline std::vector<std::string> WriteSet(const TempDir& dir, const std::string& name, const std::string& data,
                                         size_t splitSize) {
    return WritePieces(dir, HeaderFor(data, name), data, splitSize);
}

// Full paths of the named files of dir, in the given order.
inline std::vector<std::string> PathsIn(const TempDir& dir, const std::vector<std::string>& names) {
    std::vector<std::string> paths;
    for (const auto& name : names)
        paths.push_back(dir.File(name));
    return paths;
}
