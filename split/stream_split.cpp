// The split of a stream: the pieces written as the bytes come, the header's CRC filled in at the end,
// or, for a CRC text shorter than its 8-digit placeholder, every piece rewritten from the pieces
// themselves; the recovery files from the finished pieces.
#include "split/stream_split.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "core/crc32.h"
#include "core/piece_header.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "core/read_ahead.h"
#include "recovery/par2_format.h"
#include "split/chunk_schedule.h"
#include "split/piece_plan.h"
#include "split/split_checks.h"
#include "split/split_run.h"

namespace {

constexpr size_t kBlockSize = 1 << 20;

// The most a CRC text can fall short of the placeholder's 8 digits: what may still come after the
// thousandth piece while the CRC is not known.
constexpr size_t kPlaceholderSpare = 7;

// The stream needs more than 1000 pieces: found while they are written, or once the CRC is known.
struct TooManyForStream {};

class StreamSplitter {
public:
    StreamSplitter(const SplitJob& job, const StreamSplit& stream, Messenger& messenger,
                   const ProgressCallback& onProgress)
        : job_(job), stream_(stream), messenger_(messenger), meter_(onProgress, 1),
          stubSize_(job.stubImage ? job.stubSize : 0) {}

    SplitResult Run() {
        if (job_.splitSize <= 0) {
            messenger_.Tell(told::NoSplitSize{});
            return {SplitEnd::Refused, 0, {}};
        }
        if (std::optional<Outcome> refusal = CheckSplitLayout(job_, 0)) {
            messenger_.Tell(*refusal);
            return {refusal->Kind() == OutcomeKind::TooManyPieces ? SplitEnd::TooManyPieces : SplitEnd::Refused, 0, {}};
        }
        if (!ClearLeftoverPieces(PiecesInCurrentDirectory(), messenger_))
            return {SplitEnd::Refused, 0, {}};
        const std::string placeholder = WritesHeader(job_) ? LongestPieceHeader("", job_.largeFile) : "";
        try {
            Copy(placeholder);
        } catch (const TooManyForStream&) {
            return Refuse(told::TooManyPieces{}, SplitEnd::TooManyPieces);
        }
        if (length_ <= static_cast<uint64_t>(job_.splitSize)) {
            const uint64_t splitSize = static_cast<uint64_t>(job_.splitSize);
            return Refuse(told::LargeFileNotLarger{stream_.shownName, length_, splitSize}, SplitEnd::Refused);
        }
        const std::string crcText = CrcText(crc_.Value());
        const std::string header = WritesHeader(job_) ? BuildPieceHeader(crcText, job_.largeFile) : "";
        if (overflow_.size() > placeholder.size() - header.size())
            return Refuse(told::TooManyPieces{}, SplitEnd::TooManyPieces);
        if (WritesHeader(job_))
            FinishHeader(placeholder, header);
        if (job_.observer) {
            if (std::optional<Outcome> refusal = PrepareObserver())
                return Refuse(*refusal, SplitEnd::Refused);
            Replay();
            job_.observer->Complete(meter_);
        }
        meter_.Finish();
        return {SplitEnd::Done, written_, crcText};
    }

    int Written() const { return written_; }

    void DeletePieces() {
        for (int n = 0; n < written_; ++n)
            DeleteFileAt(NameOf(n));
        written_ = 0;
    }

private:
    SplitResult Refuse(const Outcome& refusal, SplitEnd end) {
        DeletePieces();
        messenger_.Tell(refusal);
        return {end, 0, {}};
    }

    std::string NameOf(int number) const {
        return number == 0 && job_.stubImage ? std::string(kSelfCatenatingName) : PieceName(number);
    }

    void Open(File& piece, int number) {
        piece.Open(NameOf(number), File::Mode::CreateAlwaysReadWrite);
        written_ = std::max(written_, number + 1);
    }

    // The pieces as the bytes come, the header with its placeholder CRC; the CRC and length taken on the way.
    void Copy(const std::string& placeholder) {
        ReadBuffers buffers(kBlockSize);
        ReadAhead reader(
            [this](uint8_t* data, size_t len) { return stream_.input->Read(data, len); }, buffers,
            [this](const uint8_t* data, size_t len) { crc_.Update(data, static_cast<uint32_t>(len), true); });
        File piece;
        Open(piece, 0);
        if (stubSize_ > 0)
            piece.Write(job_.stubImage, stubSize_);
        piece.Write(placeholder.data(), placeholder.size());
        uint64_t room = FirstPieceCapacity(stubSize_ + placeholder.size(), job_.splitSize);
        int number = 0;
        for (;;) {
            const ReadAhead::Block block = reader.Next([this] { return meter_.StopRequested(); });
            if (block.len == 0)
                break;
            for (size_t at = 0; at < block.len;) {
                if (room == 0 && number + 1 == kMaxPieces) {
                    // Past the thousandth piece only a CRC shorter than the placeholder still makes room.
                    overflow_.append(reinterpret_cast<const char*>(block.data) + at, block.len - at);
                    if (overflow_.size() > (placeholder.empty() ? 0 : kPlaceholderSpare))
                        throw TooManyForStream{};
                    break;
                }
                if (room == 0) {
                    piece.Close();
                    Open(piece, ++number);
                    room = static_cast<uint64_t>(job_.splitSize);
                }
                const size_t take = static_cast<size_t>(std::min<uint64_t>(block.len - at, room));
                piece.Write(block.data + at, take);
                at += take;
                room -= take;
            }
            length_ += block.len;
            meter_.Grow(block.len);
            meter_.Advance(block.len);
        }
        piece.Close();
    }

    // The real header over the placeholder: in place when it is as long, else every piece rewritten.
    void FinishHeader(const std::string& placeholder, const std::string& header) {
        if (header.size() == placeholder.size()) {
            File first(NameOf(0), File::Mode::OpenReadWrite);
            first.Seek(stubSize_);
            first.Write(header.data(), header.size());
            first.Close();
            return;
        }
        Shift(placeholder.size() - header.size(), header);
    }

    // Every byte after the header moves cut bytes toward the start of the set: each piece is read ahead of
    // where it is written, and gains the first cut bytes of the next one. A last piece left empty goes.
    void Shift(size_t cut, const std::string& header) {
        const uint64_t oldPrefix = stubSize_ + header.size() + cut;
        const uint64_t newPrefix = stubSize_ + header.size();
        const int pieces = static_cast<int>(CountPieces(newPrefix, length_, job_.splitSize));
        meter_.Grow(length_);
        std::vector<uint8_t> block(kBlockSize);
        for (int n = 0; n < pieces; ++n) {
            File piece(NameOf(n), File::Mode::OpenReadWrite);
            uint64_t from = n == 0 ? oldPrefix : cut;
            uint64_t to = n == 0 ? newPrefix : 0;
            if (n == 0) {
                piece.Seek(stubSize_);
                piece.Write(header.data(), header.size());
            }
            for (;;) {
                piece.Seek(from);
                const size_t got = piece.Read(block.data(), block.size());
                if (got == 0)
                    break;
                piece.Seek(to);
                piece.Write(block.data(), got);
                from += got;
                to += got;
                meter_.Advance(got);
            }
            const size_t got = FirstBytesAfter(n, cut, block.data());
            piece.Seek(to);
            piece.Write(block.data(), got);
            to += got;
            piece.SetLength(to);
            piece.Close();
        }
        for (int n = pieces; n < written_; ++n)
            DeleteFileAt(NameOf(n));
        written_ = pieces;
    }

    // Up to cut bytes that follow piece n: the start of the next piece, or what came after the last one.
    size_t FirstBytesAfter(int n, size_t cut, uint8_t* into) {
        if (n + 1 == written_) {
            std::copy(overflow_.begin(), overflow_.end(), into);
            return overflow_.size();
        }
        File next(NameOf(n + 1), File::Mode::ReadDenyWrite);
        return next.ReadUpTo(into, cut);
    }

    std::optional<Outcome> PrepareObserver() {
        if (!stream_.prepareObserver)
            return std::nullopt;
        return stream_.prepareObserver(stubSize_ + HeaderBytes(), length_);
    }

    // The finished pieces told to the observer as a split of a file tells them while it writes, every
    // piece's first bytes known from the start, since every piece is as it stays.
    void Replay() {
        std::vector<PlannedPiece> plan;
        std::vector<std::vector<uint8_t>> heads(static_cast<size_t>(written_));
        uint64_t source = 0;
        uint64_t total = 0;
        for (int n = 0; n < written_; ++n) {
            File piece(NameOf(n), File::Mode::ReadDenyWrite);
            PlannedPiece planned;
            planned.name = NameOf(n);
            planned.size = piece.Length();
            planned.sourceOffset = source;
            heads[n].resize(static_cast<size_t>(std::min(planned.size, par2::kHashedHead)));
            heads[n].resize(piece.ReadUpTo(heads[n].data(), heads[n].size()));
            planned.knownStart = heads[n].data();
            planned.knownLen = heads[n].size();
            source += n == 0 ? planned.size - (stubSize_ + HeaderBytes()) : planned.size;
            total += planned.size;
            plan.push_back(std::move(planned));
        }
        job_.observer->Begin(plan);
        meter_.Grow(total + job_.observer->BytesReadBack());
        // As many pieces at once as the listener asks, a chunk of each in turn, as a split of a file tells
        // them: the pieces one after the other would leave its lanes empty. The schedule walks the pieces
        // as if they were one file.
        std::vector<PlannedPiece> joined = plan;
        uint64_t start = 0;
        for (PlannedPiece& piece : joined) {
            piece.sourceOffset = start;
            start += piece.size;
        }
        SplitObserver& observer = *job_.observer;
        ChunkSchedule order(
            joined, 0, observer.PiecesInFlight(), observer.FirstPieceAtEnd(),
            [&observer](uint64_t at) { return observer.ChunkEnd(at); }, kBlockSize);
        std::vector<File> open(plan.size());
        std::vector<uint8_t> block(kBlockSize);
        for (ChunkStep step; order.Next(step);) {
            File& piece = open[step.piece];
            if (!piece.IsOpen())
                piece.Open(plan[step.piece].name, File::Mode::ReadDenyWrite);
            if (piece.ReadUpTo(block.data(), step.len) < step.len)
                throw FileException(FileCause::EndOfFile, 0, plan[step.piece].name);
            observer.Written(step.piece, block.data(), step.len);
            meter_.Advance(step.len);
            if (step.source + step.len == joined[step.piece].sourceOffset + joined[step.piece].size)
                piece.Close();
        }
    }

    uint64_t HeaderBytes() const {
        return WritesHeader(job_) ? BuildPieceHeader(CrcText(crc_.Value()), job_.largeFile).size() : 0;
    }

    const SplitJob& job_;
    const StreamSplit& stream_;
    Messenger& messenger_;
    ProgressMeter meter_;
    size_t stubSize_;
    Crc32 crc_;
    uint64_t length_ = 0;
    int written_ = 0;
    std::string overflow_; // bytes after the thousandth piece, placed once the CRC makes room for them
};

} // namespace

SplitResult SplitStream(const SplitJob& job, const StreamSplit& stream, Messenger& messenger,
                        const ProgressCallback& onProgress) {
    StreamSplitter splitter(job, stream, messenger, onProgress);
    return RunSplitter(splitter, job, messenger);
}
