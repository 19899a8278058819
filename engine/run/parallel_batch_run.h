// pixmora-batch's run: the batch run driven from a thread that has no event loop, with the
// settings fixed for the whole run. Every output is byte for byte what one job writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/run/file_result.h"
#include "engine/run/parallel_batch_view.h"
#include "engine/run/run_control.h"

namespace pixmora {

struct ParallelBatchSettings {
    // What the run reads for every file, fixed for the whole run (no picture box).
    FileSettings file;
    int jobs = 1;  // files in progress at most
    // The whole run's memory budget; 0: DefaultMemoryBudget.
    uint64_t memory_budget = 0;
};

// Resizes every entry of files (names derived) and returns how many were written. The
// calling thread starts the files, shows them and waits, so that a stop request is shown
// at once.
int32_t RunBatchInParallel(const std::vector<TListe_File>& files,
                           const ParallelBatchSettings& settings, RunControl& control,
                           ParallelBatchView& view);

}  // namespace pixmora
