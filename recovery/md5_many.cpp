// The choice among the lane paths: which ones this processor has is settled once, on first use.
#include <algorithm>
#include <cstdint>
#include <iterator>

#include "recovery/md5_feed.h"
#include "recovery/md5_lanes.h"

namespace {

struct Available {
    const md5lanes::Path* paths[std::size(md5lanes::kPaths)] = {}; // widest first
    size_t count = 0;
};

const Available& AvailablePaths() {
    static const Available available = [] {
        Available a;
        for (const md5lanes::Path& path : md5lanes::kPaths)
            if (path.available())
                a.paths[a.count++] = &path;
        return a;
    }();
    return available;
}

} // namespace

void Md5Many(const Md5Message* messages, size_t count, Md5Digest* digests) {
    const Available& available = AvailablePaths();
    // As few rounds as the widest path takes, on the narrowest path that does it in as few: a lane left idle
    // costs about as much as one at work, and narrower lanes run faster.
    const md5lanes::Path* chosen = available.paths[0];
    const size_t fewest = (count + chosen->lanes - 1) / chosen->lanes;
    for (size_t i = 1; i < available.count; ++i)
        if (available.paths[i]->lanes < chosen->lanes &&
            (count + available.paths[i]->lanes - 1) / available.paths[i]->lanes <= fewest)
            chosen = available.paths[i];
    chosen->run(messages, count, digests);
}

size_t Md5Lanes() {
    return AvailablePaths().paths[0]->lanes;
}

namespace {

// The narrowest path with lanes for `count` streams (the faster of two as narrow), or the widest.
const md5lanes::Path& PathFor(size_t count) {
    const Available& available = AvailablePaths();
    const md5lanes::Path* chosen = available.paths[0];
    for (size_t i = 1; i < available.count; ++i)
        if (available.paths[i]->lanes >= count && available.paths[i]->lanes < chosen->lanes)
            chosen = available.paths[i];
    return *chosen;
}

// Up to the widest path's lanes of streams: each first takes bytes up to a block's end the plain way, then
// as many whole blocks as every stream still has go through the lanes together, until some have none.
void SideBySideGroup(Md5* const* hashers, const uint8_t* const* data, const size_t* lens, size_t count) {
    const uint8_t* at[kMostLanes];
    size_t left[kMostLanes];
    for (size_t i = 0; i < count; ++i) {
        const size_t have = Md5HasherAccess::Buffered(*hashers[i]);
        const size_t take = have == 0 ? 0 : std::min(lens[i], 64 - have);
        hashers[i]->Update(data[i], take);
        at[i] = data[i] + take;
        left[i] = lens[i] - take;
    }
    for (;;) {
        uint32_t* states[kMostLanes];
        const uint8_t* blocks[kMostLanes];
        size_t lanes[kMostLanes], used = 0, fewest = SIZE_MAX;
        for (size_t i = 0; i < count; ++i)
            if (left[i] >= 64 && Md5HasherAccess::Buffered(*hashers[i]) == 0) {
                lanes[used] = i;
                states[used] = Md5HasherAccess::State(*hashers[i]);
                blocks[used++] = at[i];
                fewest = std::min(fewest, left[i] / 64);
            }
        if (used == 0)
            break;
        PathFor(used).streams(states, blocks, used, fewest);
        for (size_t k = 0; k < used; ++k) {
            Md5HasherAccess::Skip(*hashers[lanes[k]], fewest);
            at[lanes[k]] += 64 * fewest;
            left[lanes[k]] -= 64 * fewest;
        }
    }
    for (size_t i = 0; i < count; ++i)
        hashers[i]->Update(at[i], left[i]);
}

} // namespace

void Md5SideBySide(Md5* const* hashers, const uint8_t* const* data, const size_t* lens, size_t count) {
    const size_t group = AvailablePaths().paths[0]->lanes;
    for (size_t from = 0; from < count; from += group) {
        const size_t n = std::min(group, count - from);
        SideBySideGroup(hashers + from, data + from, lens + from, n);
    }
}
