// The recovery files: checksums and recovery slices while the split writes, then the files.
//
// The input slices' constants follow the order of the file IDs, and a file ID hashes the file's first
// 16 KiB: the first piece's hold the header, whose CRC digits are known only at the end. So the split's
// pass reads the other pieces' first 16 KiB ahead, places the first piece at a guess, and leaves the
// first piece's data out; at the end the first piece is read back from disk and added, and the pieces
// that the real order moves are read back and moved (one multiply-and-add with the sum of both
// constants, since adding is XOR). The order read ahead is checked against the pieces as written, and
// moved again where they begin otherwise. A pass whose header is final (the CRC known before, or a
// short CRC's second pass) knows the first piece's ID from the start and reads nothing back.
#include "recovery/recovery_writer.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <thread>

#include "core/crc32.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "core/recovery_index.h"
#include "platform/file.h"
#include "platform/memory_size.h"
#include "recovery/chunk_hashing.h"
#include "recovery/md5_lanes.h"
#include "recovery/product_sums.h"

struct RecoveryWriter::Piece : PieceSums {
    Md5Digest headHash{};
    par2::Id id{};
    uint32_t slices = 0;
    uint32_t assumedBase = 0;
    uint32_t finalBase = 0;
    uint64_t fed = 0; // bytes given to the pass so far
    Md5Digest fileHash{};
};

namespace {

constexpr size_t kReadBlock = 1 << 20;
// A first piece read back from this size on is hashed aside: at the hashing threads' pace, one stream for
// its whole and one for its slices, it would hold up the sums of the pieces read back after it.
constexpr uint64_t kHashedAsideFrom = 8 * kReadBlock;
// Reading a byte of a piece back costs about what this many recovery slices' sums of it cost.
constexpr uint64_t kSumsPerReread = 12;
// The share of the machine's memory taken to hold the pieces written last, still there when they are read back.
constexpr uint64_t kHeldShare = 4;
// Slices larger than this go to the pass in chunks, so that many pieces' chunks fill a batch.
constexpr uint64_t kMostChunk = 1 << 20;

// A slice in even chunks of at most kMostChunk, each whole blocks of the sums but perhaps the last.
size_t ChunkOf(uint64_t sliceSize) {
    const uint64_t cuts = (sliceSize + kMostChunk - 1) / kMostChunk;
    return static_cast<size_t>(
        cuts == 1 ? sliceSize : (sliceSize / cuts + gf16::kSumBlock - 1) / gf16::kSumBlock * gf16::kSumBlock);
}

void Append(std::vector<uint8_t>& to, const void* data, size_t len) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    to.insert(to.end(), p, p + len);
}

} // namespace

RecoveryWriter::RecoveryWriter(std::string largeFile, uint64_t splitSize, RecoveryRequest request, uint64_t memoryCap)
    : largeFile_(std::move(largeFile)), splitSize_(splitSize), request_(request), memoryCap_(memoryCap) {}

RecoveryWriter::~RecoveryWriter() = default;

bool RecoveryWriter::Reserve(const RecoveryPlan& plan) {
    reservedBytes_ = plan.fileBytes;
    return memory_.Reserve(plan.sliceSize, plan.batchSlices, plan.slicesPerPass, ChunkOf(plan.sliceSize));
}

void RecoveryWriter::Begin(const std::vector<PlannedPiece>& pieces) {
    pass_.reset();
    pieces_ = pieces;
    if (pieces.empty())
        return; // an empty file split without header: nothing to protect
    const uint32_t count = static_cast<uint32_t>(pieces.size());
    const std::string& firstName = pieces.front().name;
    const auto planned =
        PlanRecovery(count, splitSize_, ParsePieceName(firstName.c_str(), firstName.size()).selfCatenating,
                     std::max<uint32_t>(1, PiecesToRestore(request_, count)), memoryCap_);
    // The front end planned the same set (or a larger one) before the split and refused what cannot be.
    plan_ = std::get<RecoveryPlan>(planned);
    state_ = std::make_unique<Piece[]>(count);
    for (uint32_t p = 0; p < count; ++p) {
        Piece& piece = state_[p];
        piece.slices = static_cast<uint32_t>((pieces[p].size + plan_.sliceSize - 1) / plan_.sliceSize);
        piece.checksums.resize(
            static_cast<size_t>(par2::SliceChecksumsSize(piece.slices) - par2::kSliceChecksumsFixed));
    }
    // The first piece's ID is known now when what it begins with (catstub's image) fills the bytes the ID
    // hashes, or when its header is final and the large file's bytes follow it; else it waits for the
    // header's CRC.
    firstFed_ = pieces[0].asWritten;
    firstIdKnown_ = firstFed_ || pieces[0].knownLen >= std::min(pieces[0].size, par2::kHashedHead);
    IdentifyAhead();
    Order(true);
    ChooseDeferred();
    chunk_ = ChunkOf(plan_.sliceSize);
    pass_ = std::make_unique<RecoveryPass>(memory_, plan_.sliceSize, plan_.batchSlices, 0, plan_.slicesPerPass, Hooks(),
                                           static_cast<size_t>(chunk_));
    slotFill_ = 0;
}

void RecoveryWriter::IdentifyAhead() {
    // Opened only for a head the split did not give: a set replayed from its pieces gives them all.
    File large;
    std::vector<uint8_t> heads(kMostLanes * static_cast<size_t>(par2::kHashedHead));
    std::vector<Md5Message> messages;
    std::vector<uint32_t> whose;
    // A group of heads hashed side by side.
    auto identify = [&] {
        std::vector<Md5Digest> digests(messages.size());
        Md5Many(messages.data(), messages.size(), digests.data());
        for (size_t i = 0; i < whose.size(); ++i)
            state_[whose[i]].id = par2::FileIdOf(digests[i], pieces_[whose[i]].size, pieces_[whose[i]].name);
        messages.clear();
        whose.clear();
    };
    for (uint32_t p = firstIdKnown_ ? 0 : 1; p < pieces_.size(); ++p) {
        const PlannedPiece& piece = pieces_[p];
        uint8_t* head = heads.data() + messages.size() * static_cast<size_t>(par2::kHashedHead);
        const size_t len = static_cast<size_t>(std::min(piece.size, par2::kHashedHead));
        const size_t known = std::min(piece.knownLen, len);
        if (known > 0)
            std::memcpy(head, piece.knownStart, known);
        size_t got = known;
        if (got < len) {
            if (!large.IsOpen())
                large.Open(largeFile_, File::Mode::ReadDenyWrite);
            // Piece 0's known bytes come before the data; another piece's are its data. Fewer where the file
            // shrank: the split will say so, and the order is made right at the end.
            large.Seek(piece.sourceOffset + (p == 0 ? 0 : got));
            got += large.ReadUpTo(head + got, len - got);
        }
        messages.push_back({head, got, nullptr, 0});
        whose.push_back(p);
        if (messages.size() == kMostLanes)
            identify();
    }
    identify();
}

uint64_t RecoveryWriter::ChunkEnd(uint64_t at) const {
    const uint64_t slice = at / plan_.sliceSize * plan_.sliceSize;
    return slice + std::min(plan_.sliceSize, (at - slice) / chunk_ * chunk_ + chunk_);
}

void RecoveryWriter::Order(bool assumed) {
    const uint32_t count = static_cast<uint32_t>(pieces_.size());
    std::vector<uint32_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    auto less = [this](uint32_t a, uint32_t b) { return par2::FileIdLess(state_[a].id, state_[b].id); };
    if (assumed && !firstIdKnown_) {
        // The first piece's ID is known only at the end: it goes in the middle of the others, where the
        // fewest pieces have to move on average, whatever its ID turns out to be.
        std::sort(order.begin() + 1, order.end(), less);
        std::rotate(order.begin(), order.begin() + 1, order.begin() + 1 + (count - 1) / 2);
    } else {
        std::sort(order.begin(), order.end(), less);
    }
    uint32_t base = 0;
    for (uint32_t p : order) {
        (assumed ? state_[p].assumedBase : state_[p].finalBase) = base;
        base += state_[p].slices;
    }
}

void RecoveryWriter::ChooseDeferred() {
    // A piece whose place waits on the first piece's ID is summed at the place assumed for it, and summed
    // again where that proves wrong; or it is summed once at the end, read back from disk. The middle of
    // the order is wrong about half the time: there reading back costs less than summing twice, the more
    // recovery slices there are. Only pieces written last are read back so: the system still holds them.
    const uint32_t count = static_cast<uint32_t>(pieces_.size());
    deferred_.assign(count, false);
    if (firstIdKnown_ || count < 3)
        return;
    const uint64_t end = pieces_.back().sourceOffset + pieces_.back().size;
    const uint64_t held = PhysicalMemoryBytes() / kHeldShare;
    std::vector<uint32_t> order(count - 1);
    std::iota(order.begin(), order.end(), 1);
    std::sort(order.begin(), order.end(),
              [this](uint32_t a, uint32_t b) { return state_[a].assumedBase < state_[b].assumedBase; });
    const uint64_t others = count - 1, guess = others / 2;
    for (uint64_t rank = 0; rank < others; ++rank) {
        const PlannedPiece& piece = pieces_[order[rank]];
        // The first piece's place among the others is any of others + 1, as likely as each other.
        const uint64_t wrongPlaces = rank < guess ? rank + 1 : others - rank;
        deferred_[order[rank]] = end - piece.sourceOffset - piece.size < held &&
                                 wrongPlaces * (kSumsPerReread + plan_.slicesPerPass) > kSumsPerReread * (others + 1);
    }
}

void RecoveryWriter::Written(uint32_t piece, const uint8_t* data, size_t len) {
    // The first piece's bytes wait for its header's CRC, unless they are final as written.
    if (piece < pieces_.size() && (piece != 0 || firstFed_))
        Feed(*pass_, piece, data, len, Place::Assumed, true);
}

void RecoveryWriter::Feed(RecoveryPass& pass, uint32_t piece, const uint8_t* data, size_t len, Place place, bool hash) {
    while (len > 0) {
        const size_t take = std::min(len, Room(piece));
        std::memcpy(pass.Slot() + slotFill_, data, take);
        Filled(pass, piece, take, place, hash);
        data += take;
        len -= take;
    }
}

size_t RecoveryWriter::Room(uint32_t piece) const {
    const uint64_t fed = state_[piece].fed;
    return static_cast<size_t>(std::min(ChunkEnd(fed - slotFill_), pieces_[piece].size) - fed);
}

void RecoveryWriter::Filled(RecoveryPass& pass, uint32_t piece, size_t len, Place place, bool hash) {
    slotFill_ += len;
    state_[piece].fed += len;
    if (Room(piece) > 0)
        return;
    const Piece& state = state_[piece];
    const uint64_t at = state.fed - slotFill_;
    const uint32_t j = static_cast<uint32_t>(at / plan_.sliceSize);
    InputSlice in;
    in.input = (place == Place::Assumed ? state.assumedBase : state.finalBase) + j;
    if (place == Place::Moved)
        in.undo = state.assumedBase + j;
    in.piece = piece;
    in.slice = j;
    in.at = at - uint64_t{j} * plan_.sliceSize;
    in.len = slotFill_;
    in.hash = hash;
    in.sum = place != Place::Assumed || !deferred_[piece];
    // Its CRC-32 now, while the bytes just put in the slot are in the cache: the hashing threads would read
    // them from memory again.
    if (hash)
        in.crc = Crc32Fast(0xFFFFFFFFu, pass.Slot(), slotFill_);
    pass.Add(in);
    slotFill_ = 0;
}

SliceHooks RecoveryWriter::Hooks() {
    // The checksums are the one part that goes in order; two threads take every other piece, so that the
    // sums never wait for one. Each hashes its pieces' chunks side by side.
    const size_t threads = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    return {[this, threads](const SliceBatch& b, size_t slotStride, size_t t) { HashBatch(b, slotStride, t, threads); },
            threads};
}

void RecoveryWriter::HashBatch(const SliceBatch& batch, size_t slotStride, size_t thread, size_t threads) {
    std::vector<HashedChunk> chunks;
    for (size_t i = 0; i < batch.slices.size(); ++i) {
        const InputSlice& in = batch.slices[i];
        const bool piece = in.piece % threads == thread;
        // A first piece read back alone at the end has its whole's MD5 on one thread and its slices' on the
        // other: one stream each, instead of both on one.
        const bool slice = in.piece == 0 && !firstFed_ && threads > 1 ? thread == 1 : piece;
        if (!in.hash || !(piece || slice) || (in.piece == 0 && firstAside_))
            continue;
        const uint64_t sliceData = std::min(plan_.sliceSize, pieces_[in.piece].size - in.slice * plan_.sliceSize);
        chunks.push_back({&state_[in.piece], in.slice, batch.data.data() + i * slotStride, in.len, piece, slice,
                          in.at + in.len == sliceData, in.crc});
    }
    HashChunks(chunks.data(), chunks.size(), plan_.sliceSize);
}

void RecoveryWriter::FeedFromDisk(RecoveryPass& pass, uint32_t piece, Place place, bool hash, ProgressMeter& meter) {
    // Read straight into the batch's slots.
    File in(pieces_[piece].name, File::Mode::ReadDenyWrite);
    state_[piece].fed = 0;
    slotFill_ = 0;
    for (uint64_t left = pieces_[piece].size; left > 0;) {
        const size_t want = std::min<size_t>({static_cast<size_t>(std::min<uint64_t>(left, kReadBlock)), Room(piece)});
        const size_t n = in.Read(pass.Slot() + slotFill_, want);
        if (n == 0)
            throw FileException(FileCause::EndOfFile, 0, pieces_[piece].name);
        Filled(pass, piece, n, place, hash);
        left -= n;
        outcome_.bytesReread += n;
        meter.Advance(n);
    }
}

void RecoveryWriter::Complete(ProgressMeter& meter) {
    if (!pass_)
        return;
    if (!firstFed_)
        IdentifyFirstPiece();
    // The other pieces' IDs as read ahead: the pass goes on while its last batches are still at work.
    Order(false);
    meter.Grow(BytesLeft());
    FeedReadBack(meter);
    SettleOrder(meter);
    BuildMainPacket();
    // The recovery slices need nothing of the first piece's checksums: they go out while it is hashed.
    std::vector<File> volumes = StartVolumes(*pass_);
    if (firstSums_)
        TakeFirstPieceSums();
    BuildRepeatedPackets();
    files_.push_back(kIndexFileName); // before the file exists: a failure part way still removes it
    File index(kIndexFileName, File::Mode::CreateAlways);
    EndFile(index);
    for (File& volume : volumes)
        EndFile(volume);
    RunLaterPasses(meter);
    pass_.reset();
    memory_ = PassMemory();
    outcome_.piecesRestored = plan_.piecesRestored;
    outcome_.files = static_cast<uint32_t>(files_.size());
}

void RecoveryWriter::IdentifyFirstPiece() {
    File in(pieces_[0].name, File::Mode::ReadDenyWrite);
    std::vector<uint8_t> head(static_cast<size_t>(std::min(pieces_[0].size, par2::kHashedHead)));
    if (in.ReadUpTo(head.data(), head.size()) < head.size())
        throw FileException(FileCause::EndOfFile, 0, pieces_[0].name);
    state_[0].headHash = Md5Of(head.data(), head.size());
    state_[0].id = par2::FileIdOf(state_[0].headHash, pieces_[0].size, pieces_[0].name);
}

uint64_t RecoveryWriter::BytesReadBack() const {
    uint64_t reread = pieces_.empty() || firstFed_ ? 0 : pieces_[0].size;
    for (uint32_t p = 1; p < deferred_.size(); ++p)
        if (deferred_[p])
            reread += pieces_[p].size;
    return reread;
}

uint64_t RecoveryWriter::BytesLeft() const {
    const uint32_t count = static_cast<uint32_t>(pieces_.size());
    uint64_t reread = 0;
    for (uint32_t p = 1; p < count; ++p)
        if (!deferred_[p] && state_[p].assumedBase != state_[p].finalBase)
            reread += pieces_[p].size;
    const uint32_t passes = (plan_.recoverySlices + plan_.slicesPerPass - 1) / plan_.slicesPerPass;
    uint64_t total = 0;
    for (const PlannedPiece& piece : pieces_)
        total += piece.size;
    return reread + (passes - 1) * total;
}

void RecoveryWriter::FeedReadBack(ProgressMeter& meter) {
    std::vector<std::pair<uint32_t, Place>> back;
    if (!firstFed_ && pieces_[0].size >= kHashedAsideFrom) {
        firstSums_ = std::make_unique<FirstPieceSums>(pieces_[0].name, pieces_[0].size, plan_.sliceSize);
        firstAside_ = true;
        back.emplace_back(0, Place::Final);
    } else if (!firstFed_) {
        FeedFromDisk(*pass_, 0, Place::Final, true, meter);
    }
    for (uint32_t p = 1; p < pieces_.size(); ++p)
        if (deferred_[p])
            back.emplace_back(p, Place::Final);
        else if (state_[p].assumedBase != state_[p].finalBase)
            back.emplace_back(p, Place::Moved);
    FeedAcross(back, meter);
    pass_->Drain();
}

void RecoveryWriter::FeedAcross(const std::vector<std::pair<uint32_t, Place>>& back, ProgressMeter& meter) {
    // Whole slices in each slot: one piece after the other.
    if (chunk_ == plan_.sliceSize) {
        for (const auto& [piece, place] : back)
            FeedFromDisk(*pass_, piece, place, false, meter);
        return;
    }
    // Chunks at one place in their slices go to the sums together: the pieces' chunks there, slice by slice,
    // then the next place. A few files open at a time.
    constexpr size_t kOpenAtOnce = 32;
    for (size_t from = 0; from < back.size(); from += kOpenAtOnce) {
        const size_t to = std::min(back.size(), from + kOpenAtOnce);
        std::vector<File> files(to - from);
        for (size_t i = from; i < to; ++i)
            files[i - from].Open(pieces_[back[i].first].name, File::Mode::ReadDenyWrite);
        for (uint64_t at = 0; at < plan_.sliceSize; at += chunk_)
            for (size_t i = from; i < to; ++i)
                for (uint64_t slice = 0; slice + at < pieces_[back[i].first].size; slice += plan_.sliceSize)
                    FeedChunk(files[i - from], back[i].first, slice + at, back[i].second, meter);
    }
}

void RecoveryWriter::FeedChunk(File& in, uint32_t piece, uint64_t at, Place place, ProgressMeter& meter) {
    state_[piece].fed = at;
    slotFill_ = 0;
    const size_t len = Room(piece);
    in.Seek(at);
    if (in.ReadUpTo(pass_->Slot(), len) < len)
        throw FileException(FileCause::EndOfFile, 0, pieces_[piece].name);
    Filled(*pass_, piece, len, place, false);
    outcome_.bytesReread += len;
    meter.Advance(len);
}

void RecoveryWriter::SettleOrder(ProgressMeter& meter) {
    const uint32_t count = static_cast<uint32_t>(pieces_.size());
    // The IDs of the pieces as written. Where the source changed after its heads were read ahead, the order
    // moves again: every piece is now where finalBase says.
    bool asReadAhead = true;
    for (uint32_t p = 0; p < count; ++p)
        state_[p].assumedBase = state_[p].finalBase;
    for (uint32_t p = firstFed_ ? 0 : 1; p < count; ++p) {
        Piece& piece = state_[p];
        piece.headHash = piece.head.Final();
        const par2::Id id = par2::FileIdOf(piece.headHash, pieces_[p].size, pieces_[p].name);
        asReadAhead = asReadAhead && id == piece.id;
        piece.id = id;
    }
    if (!asReadAhead) {
        Order(false);
        for (uint32_t p = 0; p < count; ++p)
            if (state_[p].assumedBase != state_[p].finalBase) {
                meter.Grow(pieces_[p].size);
                FeedFromDisk(*pass_, p, Place::Moved, false, meter);
            }
    }
    pass_->Finish();
    for (uint32_t p = firstAside_ ? 1 : 0; p < count; ++p)
        state_[p].fileHash = state_[p].file.Final();
}

void RecoveryWriter::TakeFirstPieceSums() {
    firstSums_->Wait();
    Piece& first = state_[0];
    first.fileHash = firstSums_->File();
    const std::vector<par2::FileDigest>& slices = firstSums_->Slices();
    for (uint32_t j = 0; j < slices.size(); ++j) {
        par2::PutSliceMd5(first.checksums.data(), j, slices[j].md5.data());
        par2::PutSliceCrc(first.checksums.data(), j, ~slices[j].crcRegister);
    }
    outcome_.bytesReread += 2 * pieces_[0].size;
    firstSums_.reset();
}

void RecoveryWriter::BuildMainPacket() {
    const uint32_t count = static_cast<uint32_t>(pieces_.size());
    idOrder_.resize(count);
    std::iota(idOrder_.begin(), idOrder_.end(), 0);
    std::sort(idOrder_.begin(), idOrder_.end(),
              [this](uint32_t a, uint32_t b) { return par2::FileIdLess(state_[a].id, state_[b].id); });
    std::vector<uint8_t> main(static_cast<size_t>(par2::MainSize(count)));
    par2::PutMain(main.data(), plan_.sliceSize, count);
    for (uint32_t i = 0; i < count; ++i)
        std::memcpy(main.data() + par2::kMainFixed + 16 * i, state_[idOrder_[i]].id.data(), 16);
    setId_ = Md5Of(main.data(), main.size());
    repeated_ = par2::BuildPacket(setId_, par2::kMainType, main);
}

void RecoveryWriter::BuildRepeatedPackets() {
    // The packets every file repeats, in file ID order.
    for (uint32_t p : idOrder_)
        AppendPiecePackets(p);
    const std::vector<uint8_t> creator =
        par2::BuildPacket(setId_, par2::kCreatorType, std::vector<uint8_t>(CreatorText().begin(), CreatorText().end()));
    Append(repeated_, creator.data(), creator.size());
}

void RecoveryWriter::AppendPiecePackets(uint32_t p) {
    const Piece& piece = state_[p];
    par2::FileDescription described;
    described.fileId = piece.id.data();
    described.hash = piece.fileHash.data();
    described.headHash = piece.headHash.data();
    described.length = pieces_[p].size;
    described.name = pieces_[p].name.data();
    described.nameLen = pieces_[p].name.size();
    std::vector<uint8_t> desc(static_cast<size_t>(par2::FileDescriptionSize(described.nameLen)));
    par2::PutFileDescription(desc.data(), described);
    const std::vector<uint8_t> descPacket = par2::BuildPacket(setId_, par2::kFileDescType, desc);
    Append(repeated_, descPacket.data(), descPacket.size());
    std::vector<uint8_t> sums(par2::kSliceChecksumsFixed);
    par2::PutSliceChecksums(sums.data(), piece.id.data());
    Append(sums, piece.checksums.data(), piece.checksums.size());
    const std::vector<uint8_t> sumsPacket = par2::BuildPacket(setId_, par2::kSliceChecksumType, sums);
    Append(repeated_, sumsPacket.data(), sumsPacket.size());
}

void RecoveryWriter::RunLaterPasses(ProgressMeter& meter) {
    // Each later pass reads every piece back for its own share of the recovery slices, in the first pass's
    // chunks: a slot of a whole slice would hold one chunk and zeros.
    std::vector<std::pair<uint32_t, Place>> all;
    for (uint32_t p = 0; p < pieces_.size(); ++p)
        all.emplace_back(p, Place::Final);
    for (uint32_t first = plan_.slicesPerPass; first < plan_.recoverySlices; first += plan_.slicesPerPass) {
        pass_.reset();
        pass_ = std::make_unique<RecoveryPass>(memory_, plan_.sliceSize, plan_.batchSlices, first,
                                               std::min(plan_.slicesPerPass, plan_.recoverySlices - first),
                                               SliceHooks{}, static_cast<size_t>(chunk_));
        FeedAcross(all, meter);
        pass_->Finish();
        WriteVolumes(*pass_);
    }
}

std::vector<File> RecoveryWriter::StartVolumes(const RecoveryPass& pass) {
    // The packets' headers and MD5s first, for all of the pass's slices: a group of lanes on each core.
    const uint32_t count = pass.Count();
    std::vector<PacketHead> heads(count);
    std::vector<Md5Message> messages(count);
    std::vector<Md5Digest> hashes(count);
    for (uint32_t k = 0; k < count; ++k) {
        uint8_t* header = heads[k].data();
        par2::PutHeader(header, par2::kRecoverySliceFixed + plan_.sliceSize, setId_.data(), par2::kRecoverySliceType);
        par2::PutRecoverySlice(header + par2::kHeaderSize, pass.FirstExponent() + k);
        messages[k] = {header + par2::kHashedFrom, kPacketHead - par2::kHashedFrom, pass.Recovery(k),
                       static_cast<size_t>(plan_.sliceSize)};
    }
    // A group per core where the packets are few: each on the narrowest lanes that take it.
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t group = std::max<size_t>(1, std::min(Md5Lanes(), (count + cores - 1) / cores));
    gf16::RunOnEveryCore((count + group - 1) / group, [&](size_t task, std::vector<uint8_t>&) {
        const size_t from = task * group;
        Md5Many(messages.data() + from, std::min<size_t>(group, count - from), hashes.data() + from);
    });
    for (uint32_t k = 0; k < count; ++k)
        std::memcpy(heads[k].data() + par2::kPacketHashAt, hashes[k].data(), 16);
    // The volumes written side by side: the copies into the system's cache take a core each.
    const uint32_t each = plan_.slicesPerVolume;
    std::vector<File> volumes((count + each - 1) / each);
    const size_t named = files_.size();
    for (uint32_t at = 0; at < count; at += each) // before the files exist: a failure part way still removes them
        files_.push_back(
            RecoveryVolumeName(pass.FirstExponent() + at, std::min(each, count - at), plan_.recoverySlices));
    gf16::RunOnEveryCore(volumes.size(), [&](size_t v, std::vector<uint8_t>&) {
        const uint32_t at = static_cast<uint32_t>(v) * each;
        volumes[v].Open(files_[named + v], File::Mode::CreateAlways);
        WriteSlices(volumes[v], pass, heads.data() + at, std::min(each, count - at));
    });
    outcome_.bytes += uint64_t{count} * (kPacketHead + plan_.sliceSize);
    return volumes;
}

void RecoveryWriter::WriteVolumes(const RecoveryPass& pass) {
    for (File& volume : StartVolumes(pass))
        EndFile(volume);
}

void RecoveryWriter::WriteSlices(File& out, const RecoveryPass& pass, const PacketHead* heads, uint32_t count) const {
    for (uint32_t k = 0; k < count; ++k) {
        par2::RecoverySlice slice;
        par2::ReadRecoverySlice(heads[k].data() + par2::kHeaderSize, par2::kRecoverySliceFixed, slice);
        out.Write(heads[k].data(), kPacketHead);
        out.Write(pass.Recovery(slice.exponent - pass.FirstExponent()), static_cast<size_t>(plan_.sliceSize));
    }
}

void RecoveryWriter::EndFile(File& out) {
    out.Write(repeated_.data(), repeated_.size());
    outcome_.bytes += repeated_.size();
    out.Close();
}

void RecoveryWriter::Discard() {
    // The first piece closed before the split deletes it: Windows deletes no file still open.
    firstSums_.reset();
    pass_.reset();
    memory_ = PassMemory();
    for (const std::string& name : files_)
        DeleteFileAt(name);
    files_.clear();
    outcome_ = {};
}
