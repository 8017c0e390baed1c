// CatFiles: the choice between header join and plain join, and the report of file errors.
#include "cat/cat_files.h"

#include <optional>

#include "cat/header_join.h"
#include "cat/join_checks.h"
#include "cat/join_steps.h"
#include "cat/plain_join.h"
#include "core/piece_name.h"
#include "core/progress_meter.h"
#include "platform/file.h"

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
        if (const std::optional<std::string> problem = SetProblem(job.paths)) {
            messenger.Show(*problem, Icon::Hand);
            return result;
        }
    }
    try {
        if (result.headerJoin)
            HeaderJoin(job, messenger, result);
        else
            PlainJoin(job, messenger, result);
    } catch (const FileException& error) {
        // The run ends here; the unfinished output has been deleted on the way out.
        result.written = false;
        result.listLine.clear();
        ReportCatError(messenger, error.Description() + UnfinishedOutputText(result.partialPath));
    } catch (const JobStopped&) {
        result.written = false;
        result.listLine.clear();
        result.stopped = true;
        messenger.Show(kCatStoppedText + UnfinishedOutputText(result.partialPath), Icon::Information);
    }
    return result;
}
