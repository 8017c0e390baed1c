// The choice among the lane paths: which ones this processor has is settled once, on first use.
#include <iterator>

#include "recovery/md5_lanes.h"

namespace {

struct Available {
    const md5lanes::Path* paths[std::size(md5lanes::kPaths)] = {}; // widest first
    size_t count = 0;
    const md5lanes::Path* along = nullptr; // the path for bytes riding along
};

const Available& AvailablePaths() {
    static const Available available = [] {
        Available a;
        for (const md5lanes::Path& path : md5lanes::kPaths)
            if (path.available())
                a.paths[a.count++] = &path;
        // Bytes riding along go on the 4-lane path where there is one: the 8-lane one hides the stream's
        // waiting no better (measured: 105-117 against 113-118 ms for 64 MiB of each).
        for (size_t i = 0; i < a.count; ++i)
            if (a.paths[i]->lanes == 4)
                a.along = a.paths[i];
        return a;
    }();
    return available;
}

} // namespace

void Md5Many(const Md5Message* messages, size_t count, Md5Digest* digests, const Md5Along* along, size_t alongCount) {
    const Available& available = AvailablePaths();
    if (alongCount > 0 && available.along)
        return available.along->run(messages, count, digests, along, alongCount);
    // As few rounds as the widest path takes, on the narrowest path that does it in as few: a lane left idle
    // costs about as much as one at work, and narrower lanes run faster.
    const md5lanes::Path* chosen = available.paths[0];
    const size_t fewest = (count + chosen->lanes - 1) / chosen->lanes;
    for (size_t i = 1; i < available.count; ++i)
        if ((count + available.paths[i]->lanes - 1) / available.paths[i]->lanes <= fewest)
            chosen = available.paths[i];
    chosen->run(messages, count, digests, along, alongCount);
}

size_t Md5Lanes() {
    return AvailablePaths().paths[0]->lanes;
}
