// The folder reader on any recovery file beside up to three small pieces, with the check of the pieces and,
// where the set says it can, their rebuild: no crash, no hang, no allocation past the cap, and every piece
// the rebuild reports as rebuilt is the file the set records.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file.h"
#include "platform/path_text.h"
#include "recovery/rebuild.h"
#include "tests/fuzz/par2_fuzz_input.h"

namespace {

void Require(bool rule) {
    if (!rule)
        std::abort();
}

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        char pattern[] = "/tmp/fendrik-fuzz-XXXXXX";
        Require(mkdtemp(pattern) != nullptr);
        return std::filesystem::path(pattern);
    }();
    return folder;
}

void Write(const std::string& name, const uint8_t* data, size_t len) {
    std::ofstream(Folder() / name, std::ios::binary).write(reinterpret_cast<const char*>(data), len);
}

void CheckAndRebuild(const std::string& folder) {
    const par2::CheckResult result = par2::CheckPieces(folder, nullptr);
    if (result.outcome != par2::CheckOutcome::Checked)
        return;
    const par2::SetCheck& check = result.check;
    for (const par2::PieceCheck& piece : check.pieces)
        Require(piece.file < check.set.files.size() &&
                piece.goodSlices.size() == check.set.files[piece.file].slices.size());
    if (check.Complete() || !check.Rebuildable())
        return;
    // A small cap: the rebuild then works in ranges, as it does for large slices.
    const par2::RebuildResult rebuilt = par2::RebuildPieces(check, nullptr, 64 << 10);
    if (rebuilt.outcome == par2::RebuildOutcome::Rebuilt)
        for (const par2::RebuiltPiece& piece : rebuilt.pieces)
            Require(std::filesystem::exists(NativePath(piece.path)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < fuzz_input::kPrefix)
        return 0;
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
    std::filesystem::create_directory(Folder());
    for (size_t n = 0; n < fuzz_input::kPieces; ++n)
        if (const size_t len = fuzz_input::PieceLength(data, n)) {
            const std::vector<uint8_t> bytes = fuzz_input::PieceBytes(n, len);
            Write("_Split#00" + std::to_string(n), bytes.data(), bytes.size());
        }
    const std::vector<uint8_t> index = fuzz_input::RecoveryBytes(data, size);
    Write("_Split#.par2", index.data(), index.size());
    try {
        CheckAndRebuild(PortablePath(Folder().string()));
    } catch (const FileException&) {
        // a file error is reported to the user as such: no fault of the reader
    }
    return 0;
}
