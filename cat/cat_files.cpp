// CatFiles: the choice between header join and plain join, and the report of file errors.
#include "cat/cat_files.h"

#include "cat/header_join.h"
#include "cat/join_steps.h"
#include "cat/plain_join.h"
#include "core/piece_name.h"
#include "platform/file.h"

CatResult CatFiles(const CatJob& job, Messenger& messenger) {
    CatResult result;
    if (job.paths.empty())
        return result;
    const std::string firstName = NamePart(job.paths[0]);
    result.headerJoin = !job.explicitSelection && (firstName == kFirstPieceName || firstName == kSelfCatenatingName);
    try {
        if (result.headerJoin)
            HeaderJoin(job, messenger, result);
        else
            PlainJoin(job, messenger, result);
    } catch (const FileException& error) {
        // The run ends here; an output begun before the failure stays on disk as written.
        result.written = false;
        result.listLine.clear();
        ReportCatError(messenger, error.Description());
    }
    return result;
}
