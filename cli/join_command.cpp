// fendrik join: the set found from any of its pieces, refused when incomplete,
// its output never replaced without a Yes, then the join engine.
#include <ostream>

#include "cat/cat_files.h"
#include "cat/output_path.h"
#include "cli/command_support.h"
#include "cli/set_report.h"
#include "platform/file.h"

int RunJoin(const CliOptions& options, Console& console, Messenger& messenger) {
    const std::optional<SetSurvey> set = SurveySet(EnginePath(options.path), messenger);
    if (!set)
        return kExitFailure;
    if (!set->Complete()) {
        messenger.Show("The set is incomplete, missing: " + MissingPieceNames(*set) + "\nNothing was joined.",
                       Icon::Hand);
        return kExitInconsistent;
    }

    OutputFolder folder;
    if (!folder.Enter(options.directory, messenger))
        return kExitFailure;

    CatJob job;
    for (const DiscoveredPiece& piece : set->pieces)
        job.paths.push_back(piece.path);
    // Without a header there is no name to restore: the pieces are glued into a "File%i" as the dialog's
    // explicit selection does, and that name is always a new one.
    job.explicitSelection = set->header == SetHeader::None;
    if (set->header == SetHeader::Recorded) {
        const PathStatus existing = GetPathStatus(set->recordedName);
        if (existing.ok && messenger.Show(OutputPathFor(set->recordedName) + " already exists. Replace it?",
                                          Icon::Question, Buttons::YesNo) != Answer::Yes) {
            messenger.Show(OutputPathFor(set->recordedName) + " stays as it is. Nothing was joined.",
                           Icon::Exclamation);
            return kExitFailure;
        }
    }

    const CatResult result = CatFiles(job, messenger);
    if (result.crcMismatch)
        return kExitInconsistent;
    if (!result.written)
        return kExitFailure;
    console.Streams().out << result.listLine << "\n";
    return kExitOk;
}
