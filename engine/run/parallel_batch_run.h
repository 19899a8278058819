// pixmora-batch's run: the batch run driven from a thread that has no event loop, with the
// settings fixed for the whole run. Every output is byte for byte what one job writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/resample/resample_filter.h"
#include "engine/run/parallel_batch_view.h"
#include "engine/run/run_control.h"

namespace pixmora {

struct ParallelBatchSettings {
    int32_t ratio = 50;
    ResampleFilter filter = ResampleFilter::Nearest;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
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
