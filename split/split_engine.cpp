// The split's copy: large blocks read ahead on a thread of their own, piece
// boundaries computed, the CRC-32 taken on the way, so that the large file is
// read once and a set is never passed off as matching a file that changed.
#include "split/split_engine.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "core/read_ahead.h"
#include "core/volume_checks.h"
#include "platform/file.h"
#include "split/chunk_schedule.h"
#include "split/in_flight_read.h"
#include "split/split_checks.h"
#include "split/split_run.h"

namespace {

// Large enough that the system calls cost nothing next to the copy, small
// enough to stay in the cache that the CRC reads from.
constexpr size_t kBlockSize = 1 << 20;

// What one pass over the large file found.
struct Pass {
    uint32_t crc = 0;
    bool changedSize = false; // the file ended early or went on past the length measured
    uint64_t pieces = 0;
};

class Splitter {
public:
    Splitter(const SplitJob& job, Messenger& messenger, const ProgressCallback& onProgress)
        : job_(job), messenger_(messenger), onProgress_(onProgress) {}

    SplitResult Run() {
        File large(job_.largeFile, File::Mode::ReadDenyWrite);
        size_ = large.Length();
        selfCatenating_ = job_.stubImage != nullptr;
        stubSize_ = selfCatenating_ ? job_.stubSize : 0;
        if (const std::optional<SplitEnd> refused = RefusalBeforeWriting(large))
            return {*refused, 0, {}};
        ProgressMeter meter(onProgress_, size_);
        std::string crcText = job_.crcText;
        const std::optional<Pass> pass = WritePieces(large, meter, crcText);
        if (!pass)
            return {SplitEnd::TooManyPieces, 0, {}};
        large.Close();
        return Finish(*pass, crcText, meter);
    }

    int Written() const { return written_; }

    // After a stop or a failure: the run's pieces go, so no half-made set is left behind.
    void DeletePieces() {
        if (first_.IsOpen()) {
            File first = std::move(first_);
            try {
                first.Close();
            } catch (const FileException&) {
                // The piece is deleted next anyway.
            }
        }
        for (int n = 0; n < written_; ++n)
            DeleteFileAt(NameOf(static_cast<uint64_t>(n)));
        written_ = 0;
    }

private:
    // The checks before the first byte, each telling why it refuses: the end it refuses with, or empty.
    std::optional<SplitEnd> RefusalBeforeWriting(File& large) {
        if (const std::optional<Outcome> refusal = CheckSplitLayout(job_, size_))
            return Refuse(large, *refusal);
        const std::vector<FoundFile> existing = PiecesInCurrentDirectory();
        if (LargeFileAmong(job_.largeFile, existing))
            return Refuse(large, told::LargeFileIsAPiece{job_.largeFile});
        if (!ClearLeftoverPieces(existing, messenger_)) {
            large.Close();
            return SplitEnd::Refused;
        }
        // The recovery files land beside the pieces, after them: the volume must hold both.
        const uint64_t pieces = LongestPrefix(job_) + size_;
        const uint64_t largestPiece = std::min<uint64_t>(pieces, static_cast<uint64_t>(job_.splitSize));
        const uint64_t written = pieces + (job_.observer ? job_.observer->FileBytes() : 0);
        if (!VolumeTakes(written, largestPiece, messenger_)) {
            large.Close();
            return SplitEnd::Refused;
        }
        return std::nullopt;
    }

    // Before the box: the box never holds the large file open.
    SplitEnd Refuse(File& large, const Outcome& refusal) {
        large.Close();
        messenger_.Tell(refusal);
        switch (refusal.Kind()) {
        case OutcomeKind::TooManyPieces:
            return SplitEnd::TooManyPieces;
        case OutcomeKind::LargeFileIsAPiece:
            return SplitEnd::WouldOverwriteLargeFile;
        default:
            return SplitEnd::Refused;
        }
    }

    // The pieces in one of three ways: in one pass when the CRC is known or no header needs it; after
    // measuring it when only a short CRC text keeps the set within 1000 pieces (rare); else taken on
    // the way and filled in. Empty, after telling why, when the measured CRC gives too many pieces.
    std::optional<Pass> WritePieces(File& large, ProgressMeter& meter, std::string& crcText) {
        const std::string longHeader = WritesHeader(job_) ? LongestPieceHeader(crcText, job_.largeFile) : "";
        if (!WritesHeader(job_) || !crcText.empty())
            return WritePass(large, longHeader, meter, false);
        if (CountPieces(stubSize_ + longHeader.size(), size_, job_.splitSize) > static_cast<uint64_t>(kMaxPieces))
            return MeasureThenWrite(large, meter, crcText);
        return WriteThenFillIn(large, longHeader, meter, crcText);
    }

    std::optional<Pass> MeasureThenWrite(File& large, ProgressMeter& meter, std::string& crcText) {
        meter.Grow(size_);
        crcText = CrcText(MeasureCrc(large, meter));
        // Counted again for the header that will really be written.
        const std::string header = BuildPieceHeader(crcText, job_.largeFile);
        if (CountPieces(stubSize_ + header.size(), size_, job_.splitSize) > static_cast<uint64_t>(kMaxPieces)) {
            Refuse(large, told::TooManyPieces{});
            return std::nullopt;
        }
        return WritePass(large, header, meter, false);
    }

    // The header holds 8 placeholder digits while the CRC is taken, so that piece boundaries usually
    // come out right; a shorter CRC moves every boundary, and the pieces are written again.
    Pass WriteThenFillIn(File& large, const std::string& longHeader, ProgressMeter& meter, std::string& crcText) {
        Pass pass = WritePass(large, longHeader, meter, true);
        crcText = CrcText(pass.crc);
        if (pass.changedSize)
            return pass;
        if (crcText.size() == 8) {
            FillInCrc(crcText);
            return pass;
        }
        // Piece 000 gains the bytes the header loses.
        const uint64_t firstPassPieces = pass.pieces;
        first_.Close();
        // What the first pass's listener was to read back at the end goes unread: counted as done.
        meter.Skip(readBack_);
        meter.Grow(size_);
        large.Seek(0);
        pass = WritePass(large, BuildPieceHeader(crcText, job_.largeFile), meter, false);
        for (uint64_t n = pass.pieces; n < firstPassPieces; ++n)
            DeleteFileAt(PieceName(static_cast<int>(n)));
        written_ = static_cast<int>(pass.pieces);
        return pass;
    }

    // A set is never passed off as matching a file that changed while it was copied.
    SplitResult Finish(const Pass& pass, std::string crcText, ProgressMeter& meter) {
        const std::string copiedCrc = CrcText(pass.crc);
        // Without a header nothing was measured before: only a change in length can show.
        if (crcText.empty())
            crcText = copiedCrc;
        if (pass.changedSize || copiedCrc != crcText) {
            // Pieces that are no set of this file would be joined into a wrong one: they go, as on a stop.
            told::ChangedWhileSplitting changed;
            changed.path = job_.largeFile;
            changed.measuredCrc = crcText;
            changed.copiedCrc = copiedCrc;
            changed.piecesDeleted = static_cast<uint64_t>(written_);
            DeletePieces();
            messenger_.Tell(changed);
            return {SplitEnd::ChangedWhileSplitting, 0, {}};
        }
        if (job_.observer)
            job_.observer->Complete(meter);
        meter.Finish();
        return {SplitEnd::Done, written_, copiedCrc};
    }

    uint32_t MeasureCrc(File& large, ProgressMeter& meter) {
        Crc32 crc;
        {
            ReadAhead reader(large, kBlockSize, [&crc](const uint8_t* data, size_t len) {
                crc.Update(data, static_cast<uint32_t>(len), true);
            });
            while (const size_t len = reader.Next().len)
                meter.Advance(len);
        }
        large.Seek(0);
        return crc.Value();
    }

    // Writes every piece from the file's current position. With keepFirstOpen the first piece stays
    // open in first_, its header's CRC digits still to be filled in.
    Pass WritePass(File& large, const std::string& header, ProgressMeter& meter, bool keepFirstOpen) {
        const uint64_t prefix = stubSize_ + header.size();
        Pass pass;
        pass.pieces = CountPieces(prefix, size_, job_.splitSize);
        std::vector<PlannedPiece> plan;
        if (job_.observer) {
            // What the first piece begins with; its header is final unless its CRC comes at the end.
            std::vector<uint8_t> start(job_.stubImage, job_.stubImage + stubSize_);
            if (!keepFirstOpen)
                start.insert(start.end(), header.begin(), header.end());
            plan = PlanPieces(prefix, pass.pieces, start, !keepFirstOpen);
            job_.observer->Begin(plan);
            readBack_ = job_.observer->BytesReadBack();
            meter.Grow(readBack_);
            if (job_.observer->PiecesInFlight() > 1 && pass.pieces > 1)
                return WriteInFlight(large, header, plan, meter, keepFirstOpen, pass);
        }
        Crc32 crc;
        // Stopped before the CRC is read: the reading thread updates it until then.
        {
            ReadAhead reader(large, kBlockSize, [&crc](const uint8_t* data, size_t len) {
                crc.Update(data, static_cast<uint32_t>(len), true);
            });
            File piece;
            OpenPiece(piece, 0);
            PutPrefix(piece, header);
            uint64_t room = FirstPieceCapacity(prefix, job_.splitSize);
            uint64_t number = 0;
            uint64_t copied = 0;
            for (;;) {
                const ReadAhead::Block block = reader.Next();
                if (block.len == 0)
                    break;
                for (size_t at = 0; at < block.len;) {
                    if (copied == size_) {
                        pass.changedSize = true; // the file grew: its set cannot be right
                        break;
                    }
                    if (room == 0) {
                        ClosePiece(piece, number == 0 && keepFirstOpen);
                        OpenPiece(piece, ++number);
                        room = static_cast<uint64_t>(job_.splitSize);
                    }
                    const size_t take = static_cast<size_t>(std::min<uint64_t>({block.len - at, room, size_ - copied}));
                    Put(piece, static_cast<uint32_t>(number), block.data + at, take);
                    at += take;
                    room -= take;
                    copied += take;
                }
                if (pass.changedSize)
                    break;
                meter.Advance(block.len);
            }
            ClosePiece(piece, number == 0 && keepFirstOpen);
            if (copied < size_)
                pass.changedSize = true; // the file shrank
        }
        pass.crc = crc.Value();
        return pass;
    }

    // The same with several pieces open at once, a chunk of each in turn, as the listener asks, so that
    // it hashes them side by side.
    Pass WriteInFlight(File& large, const std::string& header, const std::vector<PlannedPiece>& plan,
                       ProgressMeter& meter, bool keepFirstOpen, Pass pass) {
        SplitObserver& observer = *job_.observer;
        const ChunkSchedule order(
            plan, stubSize_ + header.size(), observer.PiecesInFlight(), observer.FirstPieceAtEnd(),
            [&observer](uint64_t at) { return observer.ChunkEnd(at); }, kBlockSize);
        InFlightRead reader(large, size_, plan, order, kBlockSize);
        std::vector<File> open(plan.size());
        uint32_t group = 0, groupEnd = 0;
        ChunkSchedule writeOrder = order;
        for (ChunkStep step; writeOrder.Next(step);) {
            if (step.piece >= groupEnd) {
                for (uint32_t n = group; n < groupEnd; ++n)
                    ClosePiece(open[n], n == 0 && keepFirstOpen);
                group = step.piece;
                groupEnd = step.groupEnd;
                for (uint32_t n = group; n < groupEnd; ++n)
                    OpenPiece(open[n], n);
                if (group == 0)
                    PutPrefix(open[0], header);
            }
            const ReadAhead::Block block = reader.Next();
            if (block.len != step.len) {
                pass.changedSize = true; // the file shrank
                break;
            }
            Put(open[step.piece], step.piece, block.data, block.len);
            meter.Advance(block.len);
        }
        if (!pass.changedSize && reader.Next().len > 0)
            pass.changedSize = true; // the file grew
        for (uint32_t n = group; n < groupEnd; ++n)
            ClosePiece(open[n], n == 0 && keepFirstOpen);
        // Stopped before the CRC is read: the reading thread updates it until then.
        reader.Stop();
        pass.crc = reader.Crc();
        return pass;
    }

    std::string NameOf(uint64_t number) const {
        return number == 0 && selfCatenating_ ? std::string(kSelfCatenatingName) : PieceName(static_cast<int>(number));
    }

    // The pieces a pass with this prefix writes, as the observer learns them before the first byte: the
    // first begins with start, and is as written when its header needs nothing filled in.
    std::vector<PlannedPiece> PlanPieces(uint64_t prefix, uint64_t count, const std::vector<uint8_t>& start,
                                         bool firstAsWritten) const {
        std::vector<PlannedPiece> pieces;
        uint64_t left = size_;
        for (uint64_t n = 0; n < count; ++n) {
            const uint64_t room = n == 0 ? FirstPieceCapacity(prefix, job_.splitSize) : job_.splitSize;
            const uint64_t take = std::min(room, left);
            left -= take;
            pieces.push_back({NameOf(n), take + (n == 0 ? prefix : 0), size_ - left - take});
        }
        if (!pieces.empty()) {
            pieces[0].knownStart = start.data();
            pieces[0].knownLen = start.size();
            pieces[0].asWritten = firstAsWritten;
        }
        return pieces;
    }

    void Put(File& piece, uint32_t number, const uint8_t* data, size_t len) {
        piece.Write(data, len);
        if (job_.observer)
            job_.observer->Written(number, data, len);
    }

    // What the first piece holds before the large file's bytes: catstub's image, then the header.
    void PutPrefix(File& first, const std::string& header) {
        if (stubSize_ > 0)
            Put(first, 0, job_.stubImage, stubSize_);
        if (!header.empty())
            Put(first, 0, reinterpret_cast<const uint8_t*>(header.data()), header.size());
    }

    void OpenPiece(File& piece, uint64_t number) {
        piece.Open(NameOf(number), File::Mode::CreateAlwaysReadWrite);
        written_ = std::max(written_, static_cast<int>(number) + 1);
    }

    void ClosePiece(File& piece, bool keepOpen) {
        if (keepOpen)
            first_ = std::move(piece);
        else if (piece.IsOpen())
            piece.Close();
    }

    // The 8 digits of the CRC over the placeholder in the first piece's header.
    void FillInCrc(const std::string& crcText) {
        first_.Seek(stubSize_);
        first_.Write(crcText.data(), crcText.size());
        first_.Close();
    }

    const SplitJob& job_;
    Messenger& messenger_;
    const ProgressCallback& onProgress_;
    uint64_t size_ = 0;
    bool selfCatenating_ = false;
    size_t stubSize_ = 0;
    File first_; // the first piece while its header waits for the CRC
    int written_ = 0;
    uint64_t readBack_ = 0; // what the listener of the last pass begun reads back at its end
};

} // namespace

SplitResult SplitLargeFile(const SplitJob& job, Messenger& messenger, const ProgressCallback& onProgress) {
    Splitter splitter(job, messenger, onProgress);
    return RunSplitter(splitter, job, messenger);
}
