#include "recovery/set_choice.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "core/piece_name.h"
#include "platform/find_files.h"
#include "recovery/file_range.h"
#include "recovery/md5_lanes.h"

namespace par2 {
namespace {

// The MD5 of each present piece's first 16 KiB, read once and only for pieces of a length some set records;
// hashed a batch at a time in the MD5 lanes, as a set has hundreds of pieces.
class HeadHashes {
public:
    HeadHashes(const std::vector<PresentPiece>& pieces, const std::vector<RecoverySet>& sets) : hashes_(pieces.size()) {
        std::set<uint64_t> lengths;
        for (const RecoverySet& set : sets)
            for (const SetFile& file : set.files)
                lengths.insert(file.length);
        std::vector<size_t> wanted;
        for (size_t i = 0; i < pieces.size(); ++i)
            if (lengths.count(pieces[i].size))
                wanted.push_back(i);
        std::vector<uint8_t> heads(kBatch * kHashedHead);
        for (size_t first = 0; first < wanted.size(); first += kBatch)
            HashBatch(pieces, &wanted[first], std::min(kBatch, wanted.size() - first), heads.data());
    }
    const Md5Digest& Of(size_t i) const { return hashes_[i]; }

private:
    static constexpr size_t kBatch = 64;

    // The heads of `count` pieces (at most a batch) side by side, read through `heads`.
    void HashBatch(const std::vector<PresentPiece>& pieces, const size_t* which, size_t count, uint8_t* heads) {
        Md5 hashers[kBatch];
        Md5* streams[kBatch];
        const uint8_t* data[kBatch];
        size_t lens[kBatch];
        for (size_t k = 0; k < count; ++k) {
            const PresentPiece& piece = pieces[which[k]];
            File in(piece.path, File::Mode::ReadDenyWrite);
            streams[k] = &hashers[k];
            data[k] = heads + k * kHashedHead;
            lens[k] = ReadAt(in, 0, heads + k * kHashedHead, static_cast<size_t>(std::min(piece.size, kHashedHead)));
        }
        Md5SideBySide(streams, data, lens, count);
        for (size_t k = 0; k < count; ++k)
            hashes_[which[k]] = hashers[k].Final();
    }

    std::vector<Md5Digest> hashes_;
};

// The present pieces a set's descriptions match, as a sorted list of their indexes.
std::vector<size_t> MatchedPieces(const RecoverySet& set, const std::vector<PresentPiece>& pieces,
                                  const HeadHashes& heads) {
    std::vector<size_t> matched;
    for (size_t i = 0; i < pieces.size(); ++i)
        for (const SetFile& file : set.files)
            if (file.length == pieces[i].size && heads.Of(i) == file.headHash) {
                matched.push_back(i);
                break;
            }
    return matched;
}

bool Includes(const std::vector<size_t>& all, const std::vector<size_t>& some) {
    return std::includes(all.begin(), all.end(), some.begin(), some.end());
}

} // namespace

PiecesOnDisk FindPiecesOnDisk(const std::string& folder) {
    PiecesOnDisk found;
    std::map<std::pair<int, bool>, std::string> byNumber;
    for (const FoundFile& f : FindFiles(folder + "\\" + kPiecePattern)) {
        const PieceNameParts parts = ParsePieceName(f.name.data(), f.name.size());
        if (parts.number < 0)
            continue;
        if (f.isFolder || f.isSpecial) {
            if (found.irregular.empty())
                found.irregular = f.path;
            continue;
        }
        auto [at, fresh] = byNumber.emplace(std::make_pair(parts.number, parts.selfCatenating), f.path);
        if (!fresh && found.duplicate[0].empty()) {
            found.duplicate[0] = at->second;
            found.duplicate[1] = f.path;
        }
        found.regular.push_back({f.path, f.size, parts.number, parts.selfCatenating});
    }
    return found;
}

const PresentPiece* PieceForName(const std::vector<PresentPiece>& pieces, const std::string& name) {
    const PieceNameParts parts = ParsePieceName(name.data(), name.size());
    if (parts.number < 0)
        return nullptr;
    for (const PresentPiece& piece : pieces)
        if (piece.number == parts.number && piece.selfCatenating == parts.selfCatenating)
            return &piece;
    return nullptr;
}

SetChoice ChooseSet(const std::vector<RecoverySet>& sets, const std::vector<PresentPiece>& pieces) {
    const HeadHashes heads(pieces, sets);
    std::vector<std::vector<size_t>> matched;
    std::optional<size_t> best;
    for (size_t s = 0; s < sets.size(); ++s) {
        matched.push_back(MatchedPieces(sets[s], pieces, heads));
        if (matched[s].empty())
            continue;
        // The most pieces matched; of sets matching alike, the one with more recovery slices.
        if (!best || matched[s].size() > matched[*best].size() ||
            (matched[s] == matched[*best] && sets[s].recovery.size() > sets[*best].recovery.size()))
            best = s;
    }
    SetChoice choice;
    // With no piece present nothing tells sets apart: a lone set is taken, to rebuild them all if it can.
    if (!best && pieces.empty() && sets.size() == 1)
        choice.outcome = ChoiceOutcome::Chosen;
    if (!best)
        return choice;
    choice.chosen = *best;
    for (size_t s = 0; s < sets.size(); ++s)
        if (!Includes(matched[*best], matched[s])) {
            choice.outcome = ChoiceOutcome::TwoSets;
            choice.other = s;
            return choice;
        }
    choice.outcome = ChoiceOutcome::Chosen;
    return choice;
}

} // namespace par2
