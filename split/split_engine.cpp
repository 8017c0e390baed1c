// The split's copy: large blocks, piece boundaries computed, the CRC-32 taken
// on the way so that a set is never passed off as matching a file that changed.
#include "split/split_engine.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "platform/file.h"
#include "split/split_checks.h"

namespace {

// Large enough that the system calls cost nothing next to the copy, small
// enough to stay in the cache that the CRC pass reads from.
constexpr size_t kBlockSize = 1 << 20;

// The CRC-32 of the open large file, read from its start; leaves it at its start.
std::string MeasureCrc(File& large, std::vector<uint8_t>& block) {
    Crc32 crc;
    while (const size_t got = large.Read(block.data(), block.size()))
        crc.Update(block.data(), static_cast<uint32_t>(got), true);
    large.Seek(0);
    return CrcText(crc.Value());
}

std::string ChangedText(const std::string& largeFile, const std::string& measured, const std::string& copied) {
    std::string text = "File: " + largeFile + "\nChanged while it was being split";
    if (measured != copied)
        text += ": its CRC-32 was " + measured + " when measured and " + copied + " while its pieces were written";
    return text + ".\nThe pieces stay on disk, but they are not a valid set of this file.\nSplit  NOT  Successful";
}

class Splitter {
public:
    Splitter(const SplitJob& job, Messenger& messenger, const std::function<void()>& onProgress)
        : job_(job), messenger_(messenger), onProgress_(onProgress), block_(kBlockSize) {}

    SplitResult Run() {
        File large(job_.largeFile, File::Mode::ReadDenyWrite);
        const uint64_t size = large.Length();
        const bool selfCatenating = job_.stubImage != nullptr;
        const bool withHeader = job_.withHeader || selfCatenating;
        if (withHeader) {
            if (const std::optional<std::string> refusal = UnrecordableNameText(job_.largeFile))
                return Refuse(large, *refusal, Icon::Exclamation);
        }
        std::string crcText = job_.crcText;
        if (withHeader && crcText.empty())
            crcText = MeasureCrc(large, block_);
        const std::string header = withHeader ? BuildPieceHeader(crcText, job_.largeFile) : std::string();
        const size_t stubSize = selfCatenating ? job_.stubSize : 0;
        const uint64_t prefix = stubSize + header.size();

        if (selfCatenating) {
            if (const std::optional<std::string> refusal =
                    SelfCatenatingSizeText(job_.splitSize, stubSize, header.size()))
                return Refuse(large, *refusal, Icon::Exclamation);
        }

        const uint64_t pieces = CountPieces(prefix, size, job_.splitSize);
        if (pieces > static_cast<uint64_t>(kMaxPieces)) {
            large.Close();
            messenger_.Show(kTooManyPiecesText, Icon::Hand);
            return {SplitEnd::TooManyPieces, 0};
        }
        const std::vector<FoundFile> existing = PiecesInCurrentDirectory();
        if (LargeFileAmong(job_.largeFile, existing)) {
            large.Close();
            messenger_.Show("File: " + job_.largeFile +
                                "\nIs a split file in the folder the pieces are written to: the split would destroy "
                                "it.\nMove or rename it first.\nSplit  NOT  Successful",
                            Icon::Exclamation);
            return {SplitEnd::WouldOverwriteLargeFile, 0};
        }
        if (!ClearLeftoverPieces(existing, messenger_)) {
            large.Close();
            return {SplitEnd::Refused, 0};
        }

        Crc32 crc;
        uint64_t copied = 0;
        bool endedEarly = false;
        for (uint64_t n = 0; n < pieces && !endedEarly; ++n) {
            const std::string name =
                n == 0 && selfCatenating ? std::string(kSelfCatenatingName) : PieceName(static_cast<int>(n));
            File piece;
            uint64_t room = static_cast<uint64_t>(job_.splitSize);
            if (n == 0) {
                OpenPiece(piece, name);
                if (stubSize > 0)
                    piece.Write(job_.stubImage, stubSize);
                if (!header.empty())
                    piece.Write(header.data(), header.size());
                room = FirstPieceCapacity(prefix, job_.splitSize);
            }
            while (room > 0 && copied < size) {
                const size_t want = static_cast<size_t>(std::min<uint64_t>({block_.size(), room, size - copied}));
                const size_t got = large.Read(block_.data(), want);
                if (got == 0) {
                    endedEarly = true; // the file shrank: its set cannot be right
                    break;
                }
                // Opened only once data is at hand, so no piece is ever left empty.
                if (!piece.IsOpen())
                    OpenPiece(piece, name);
                crc.Update(block_.data(), static_cast<uint32_t>(got), true);
                piece.Write(block_.data(), got);
                room -= got;
                copied += got;
                if (onProgress_)
                    onProgress_();
            }
            if (piece.IsOpen())
                piece.Close();
        }
        // A byte past the length measured at the start means the file grew meanwhile.
        const bool grew = !endedEarly && large.Read(block_.data(), 1) != 0;
        large.Close();

        const std::string copiedCrc = CrcText(crc.Value());
        const std::string measured = crcText.empty() ? copiedCrc : crcText;
        if (endedEarly || grew || copiedCrc != measured) {
            messenger_.Show(ChangedText(job_.largeFile, measured, copiedCrc), Icon::Hand);
            return {SplitEnd::ChangedWhileSplitting, written_};
        }
        return {SplitEnd::Done, written_};
    }

    int Written() const { return written_; }

private:
    SplitResult Refuse(File& large, const std::string& text, Icon icon) {
        large.Close();
        messenger_.Show(text, icon);
        return {SplitEnd::Refused, 0};
    }

    void OpenPiece(File& piece, const std::string& name) {
        piece.Open(name, File::Mode::CreateAlwaysReadWrite);
        ++written_;
    }

    const SplitJob& job_;
    Messenger& messenger_;
    const std::function<void()>& onProgress_;
    std::vector<uint8_t> block_;
    int written_ = 0;
};

} // namespace

SplitResult SplitLargeFile(const SplitJob& job, Messenger& messenger, const std::function<void()>& onProgress) {
    Splitter splitter(job, messenger, onProgress);
    try {
        return splitter.Run();
    } catch (const FileException& e) {
        // The files opened in Run are closed by now: the box never holds a file open.
        messenger.Show(kSplitErrorPrefix + e.Description(), Icon::Exclamation);
        return {SplitEnd::FileError, splitter.Written()};
    }
}
