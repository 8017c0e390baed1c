// Writing self-catenating sets the way the split does, for catstub to rejoin.
#include "tests/wine/catstub/self_catenating_set.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/stub_image.h"
#include "tests/wine/support/built_programs.h"

std::string CatstubPath() {
    return BuiltProgramPath("catstub.exe", CATSTUB_UNIX_PATH);
}

const std::string& CatstubImage() {
    static const std::string image = [] {
        std::ifstream in(CatstubPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return image;
}

std::string HeaderFor(const std::string& name, const std::string& data) {
    Crc32 crc;
    crc.Update(data.data(), static_cast<uint32_t>(data.size()), true);
    return BuildPieceHeader(CrcText(crc.Value()), name);
}

std::vector<std::string> WriteSet(const TempDir& dir, const std::string& header, const std::string& data,
                                  size_t splitSize, bool lastPieceFirst) {
    const std::string all = CatstubImage() + header + data;
    std::vector<std::pair<std::string, std::string>> pieces;
    for (size_t at = 0; at < all.size() || pieces.empty(); at += splitSize) {
        const int n = static_cast<int>(pieces.size());
        pieces.emplace_back(n == 0 ? std::string(kSelfCatenatingName) : PieceName(n), all.substr(at, splitSize));
    }
    std::vector<std::string> names;
    for (const auto& piece : pieces)
        names.push_back(piece.first);
    if (lastPieceFirst)
        std::reverse(pieces.begin(), pieces.end());
    for (const auto& piece : pieces)
        dir.Write(piece.first, piece.second);
    return names;
}
