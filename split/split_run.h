// How a split ends when it does not end in success, the same for a file and a stream: a set cut short, its
// first piece perhaps still holding the placeholder CRC, is no set, so its pieces go on a failure as on a
// stop, and the recovery files listening to it are discarded.
#pragma once

#include <new>
#include <string>

#include "core/messages.h"
#include "core/progress_meter.h"
#include "platform/file.h"
#include "split/split_checks.h"
#include "split/split_engine.h"

// Splitter: Run() -> SplitResult, Written() -> the pieces written, DeletePieces().
template <class Splitter>
SplitResult RunSplitter(Splitter& splitter, const SplitJob& job, Messenger& messenger) {
    auto discard = [&job] {
        if (job.observer)
            job.observer->Discard();
    };
    auto failed = [&](const std::string& what) -> SplitResult {
        discard();
        const int written = splitter.Written();
        try {
            splitter.DeletePieces();
        } catch (const FileException&) {
            // Deleted in any case: the close's error adds nothing to the one reported.
        }
        messenger.Tell(SplitFailure(what, written));
        return {SplitEnd::FileError, 0, {}};
    };
    try {
        const SplitResult result = splitter.Run();
        if (result.end != SplitEnd::Done)
            discard();
        return result;
    } catch (const FileException& e) {
        return failed(e.Description());
    } catch (const std::bad_alloc&) {
        // The recovery files' memory is taken before the first byte; what else runs short is reported alike.
        return failed("There was not enough memory to go on.");
    } catch (const JobStopped&) {
        splitter.DeletePieces();
        discard();
        messenger.Tell(told::SplitStopped{});
        return {SplitEnd::Stopped, 0, {}};
    }
}
