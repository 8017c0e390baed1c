// CatFiles: the choice between header join and plain join, and the outcome of file errors and stops.
#include "cat/cat_files.h"

#include <optional>

#include "cat/header_join.h"
#include "cat/join_checks.h"
#include "cat/join_steps.h"
#include "cat/plain_join.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "platform/file.h"

namespace {

// What a join that ended unfinished left behind.
told::Unfinished WhatIsLeft(const CatJob& job, const CatResult& result) {
    if (!job.stream)
        return UnfinishedOutput(result.partialPath);
    // What reached the stream cannot be taken back.
    told::Unfinished left;
    left.path = job.stream->Path();
    left.stream = true;
    return left;
}

} // namespace

CatResult CatFiles(const CatJob& job, Messenger& messenger) {
    CatResult result;
    if (job.paths.empty())
        return result;
    // The first piece in any letter case: its header is read and decides, not the spelling of its name.
    result.headerJoin = !job.explicitSelection && PiecePartsOf(job.paths[0]).number == 0;
    if (!AllRegularFiles(job.paths, messenger))
        return result;
    // A discovered set is joined whole or not at all; an explicit selection is the user's own order.
    if (!job.explicitSelection) {
        if (const std::optional<Outcome> problem = SetProblem(job.paths)) {
            messenger.Tell(*problem);
            return result;
        }
    }
    try {
        if (result.headerJoin)
            HeaderCat(job, messenger, result);
        else
            PlainCat(job, messenger, result);
    } catch (const FileException& error) {
        // The run ends here; the unfinished output has been deleted on the way out.
        result.written = false;
        result.outputSize = 0;
        told::CatFileError failed;
        failed.reason = error.Description();
        failed.unfinished = WhatIsLeft(job, result);
        messenger.Tell(failed);
    } catch (const JobStopped&) {
        result.written = false;
        result.outputSize = 0;
        result.stopped = true;
        messenger.Tell(told::CatStopped{WhatIsLeft(job, result)});
    }
    return result;
}
