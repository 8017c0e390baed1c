// Split sets written out byte for byte, not made by the code under test: the
// file "fox.txt" holding the 43 bytes below (CRC-32 414FA339, the well-known
// value for this sentence) split at 25 bytes, with and without its header.
#pragma once

#include <string>
#include <vector>

namespace golden {

inline const std::string kData = "The quick brown fox jumps over the lazy dog";
inline const std::string kName = "fox.txt";
inline const std::string kCrcText = "414FA339";
constexpr size_t kSplitSize = 25;

// The set with its header: "414FA339#fox.txt;" ahead of the data.
inline const std::vector<std::string> kHeaderSet = {
    "414FA339#fox.txt;The quic",
    "k brown fox jumps over th",
    "e lazy dog",
};

// The set "Without CRC" writes: the data alone.
inline const std::vector<std::string> kNoCrcSet = {
    "The quick brown fox jumps",
    " over the lazy dog",
};

// The self-catenating set at a split size of the catstub image (45056 bytes)
// plus 42: "_Split#000.exe" holds the image, then these 42 bytes (header and the
// first 25 data bytes); "_Split#001" holds the rest of the data.
constexpr size_t kSelfCatenatingSplitSize = 45098;
inline const std::string kSelfCatenatingAfterImage = "414FA339#fox.txt;The quick brown fox jumps";
inline const std::string kSelfCatenatingSecondPiece = " over the lazy dog";

} // namespace golden
