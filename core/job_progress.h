// How a long job (a split, a join, the CRC-32 of a file) tells how far it has
// come and learns whether to go on. Each front end words it: a progress bar and
// Cancel in the window, a line on the terminal and Ctrl-C on the command line.
#pragma once

#include <cstdint>
#include <functional>

// Called with the bytes done so far and the job's total, done never falling;
// returning false asks the job to stop and leave nothing half-made behind.
using ProgressCallback = std::function<bool(uint64_t done, uint64_t total)>;
