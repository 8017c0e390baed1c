// The recovery files of catstub's set and the recovery slices in them: found by name beside the set
// ("_Split#.par2" and its volumes), each recovery slice believed only when its packet's MD5 holds.
#pragma once

#include <cstdint>

#include "core/recovery_index.h"
#include "stub/stub_paths.h"

constexpr int kMaxRecoveryFiles = 64;
// More recovery slices than input slices are never needed: a set has at most this many.
constexpr uint32_t kMaxFoundSlices = kIndexMaxSlices;

struct RecoveryFiles {
    int count = 0;
    char paths[kMaxRecoveryFiles][kStubPathSize];
};

struct FoundSlices {
    uint32_t count = 0; // with distinct exponents
    uint32_t exponent[kMaxFoundSlices];
    uint16_t file[kMaxFoundSlices];
    uint64_t offset[kMaxFoundSlices]; // of the slice's data in its file
};

// The recovery files in folder, "_Split#.par2" first when it is there.
void FindRecoveryFiles(const char* folder, RecoveryFiles* files);
// Every sound recovery slice of index's set in files, one per exponent; damaged packets are passed over.
void FindRecoverySlices(const RecoveryFiles& files, const RecoveryIndex& index, FoundSlices* found);
