// The progress line of a long job and the Ctrl-C stop, as one ProgressCallback.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "cli/console.h"
#include "core/job_progress.h"

// "label  42%  12.0 MiB of 30.0 MiB  8.5 MiB/s  0:02 left"; the rate and time left once a rate is known.
std::string ProgressText(const std::string& label, uint64_t done, uint64_t total, double seconds);

// Sizes for people, in powers of 1024: "512 B", "1.4 MiB".
std::string HumanSize(uint64_t bytes);

class ProgressLine {
public:
    ProgressLine(Console& console, std::string label);
    ~ProgressLine() { console_.ClearProgress(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Draws the line (at most ten times a second) and answers false once Ctrl-C was pressed.
    bool Report(uint64_t done, uint64_t total);
    ProgressCallback Callback() {
        return [this](uint64_t done, uint64_t total) { return Report(done, total); };
    }

private:
    using Clock = std::chrono::steady_clock;
    Console& console_;
    std::string label_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDrawn_{};
};
