// Counts a job's bytes for its ProgressCallback and turns a stop request into
// JobStopped, so that the copy loops stay plain and every stop unwinds through
// the owners of the files that clean up.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/job_progress.h"

// Thrown by ProgressMeter::Advance when the front end asked the job to stop.
struct JobStopped {};

class ProgressMeter {
public:
    ProgressMeter(const ProgressCallback& callback, uint64_t total) : callback_(callback), total_(total) {}

    // Counts bytes done. The total is reported only by Finish, so a job that
    // still has work after its last byte (a rename, a second pass) never shows
    // itself done early. Throws JobStopped when the callback says stop.
    void Advance(uint64_t bytes) {
        done_ += bytes;
        if (!callback_ || total_ == 0)
            return;
        if (!callback_(std::min(done_, total_ - 1), total_))
            throw JobStopped{};
    }
    // Asks the front end, without new bytes, whether to stop: for a job that waits on a read.
    bool StopRequested() const { return callback_ && total_ != 0 && !callback_(std::min(done_, total_ - 1), total_); }
    // Counts bytes done before this meter began, without asking the front end.
    void Skip(uint64_t bytes) { done_ += bytes; }
    // More work than planned (the rare second pass of a split): the total grows, done never falls.
    void Grow(uint64_t bytes) { total_ += bytes; }
    // The job is complete: reports done == total, once.
    void Finish() {
        if (callback_ && !finished_)
            callback_(total_, total_);
        finished_ = true;
    }
    uint64_t Total() const { return total_; }

private:
    const ProgressCallback& callback_;
    uint64_t total_;
    uint64_t done_ = 0;
    bool finished_ = false;
};
