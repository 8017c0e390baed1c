// One split's run and its ending, alike for a file and for standard input: a set cut short, its first
// piece perhaps still holding the placeholder CRC, is no set, so its pieces and recovery files go.
#pragma once

#include <new>
#include <string>

#include "core/job_progress.h"
#include "core/outcome.h"
#include "platform/file.h"
#include "split/split_engine.h"

// Splitter: Run() -> SplitResult, Written() -> int, DeletePieces().
template <class Splitter>
SplitResult RunSplitter(Splitter& splitter, const SplitJob& job, Messenger& messenger) {
    auto failed = [&](const std::string& what) -> SplitResult {
        if (job.observer)
            job.observer->Discard();
        const int written = splitter.Written();
        try {
            splitter.DeletePieces();
        } catch (const FileException&) {
            // Deleted below in any case: the close's error adds nothing to the one reported.
        }
        const OutcomeKind kind = written == 0 ? OutcomeKind::SplitFileError : OutcomeKind::SplitFailedCleanedUp;
        Outcome outcome = CountedOutcome(kind, static_cast<uint64_t>(written));
        outcome.text = what;
        messenger.Tell(outcome);
        return {SplitEnd::FileError, 0, {}};
    };
    try {
        const SplitResult result = splitter.Run();
        if (result.end != SplitEnd::Done && job.observer)
            job.observer->Discard();
        return result;
    } catch (const FileException& e) {
        return failed(e.Description());
    } catch (const std::bad_alloc&) {
        // The recovery files' memory is taken before the first byte; what else runs short is reported alike.
        return failed("There was not enough memory to go on.");
    } catch (const JobStopped&) {
        splitter.DeletePieces();
        if (job.observer)
            job.observer->Discard();
        messenger.Tell({OutcomeKind::SplitStopped});
        return {SplitEnd::Stopped, 0, {}};
    }
}
