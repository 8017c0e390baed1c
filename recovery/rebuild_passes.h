// The arithmetic of a rebuild: the missing slices solved from the recovery slices in use, less what the
// present slices put into them, one range of every slice a pass, within a memory cap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/progress_meter.h"
#include "platform/file.h"
#include "recovery/pass_bytes.h"
#include "recovery/recovery_set.h"
#include "recovery/slice_solver.h"

namespace par2 {

// An input slice to solve for, by its index in the set, and where it lies in the file rebuilt.
struct MissingSlice {
    uint32_t index;
    size_t output;   // the file rebuilt, by its place among the outputs
    uint64_t offset; // in the piece
    uint64_t length; // of the slice's bytes inside the piece
};

// An input slice present, and the file it is read from.
struct PresentSlice {
    uint32_t index;
    const std::string* path;
    uint64_t offset;
    uint64_t length; // of the slice's bytes inside the piece's recorded length: the rest is zeros
};

// The buffers of the passes, taken before any file is written, not cleared: the recovery slices in use,
// two batches of present slices (one read while the other is used; one where one batch holds them all),
// and a batch of rebuilt slices. Each slot holds one range of a slice, padded to the working chunk.
struct PassBuffers {
    uint64_t range = 0;
    size_t batch = 0;
    size_t recoverySlots = 0, inputSlots = 0, outSlots = 0;
    size_t stride = 0; // from one slot to the next
    PassBytes recovery, inputs, out;
    uint8_t* Slot(const PassBytes& bytes, size_t slot) const { return bytes.data() + slot * stride; }
};
// For the recovery slices in use, the present and the missing slices; throws std::bad_alloc when the
// buffers cannot be had.
PassBuffers TakePassBuffers(uint64_t memoryCap, size_t used, size_t present, size_t missing, uint64_t sliceSize);

// Every missing slice written to its output at its offset (outputs[i] null: solved, not written). Advances
// the meter by the bytes read; throws JobStopped when asked to stop, FileException on a file error.
void RunPasses(const RecoverySet& set, const SolvePlan& plan, const std::vector<MissingSlice>& missing,
               const std::vector<PresentSlice>& present, PassBuffers& buffers, const std::vector<File*>& outputs,
               ProgressMeter& meter);

} // namespace par2
