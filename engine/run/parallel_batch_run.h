// pixmora-batch's run: the batch run driven from a thread that has no event loop, with the
// settings fixed for the whole run. Every output is byte for byte what one job writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/resample/resample_filter.h"
#include "engine/run/file_result.h"
#include "engine/run/parallel_batch_view.h"
#include "engine/run/run_control.h"

namespace pixmora {

struct ParallelBatchSettings {
    int32_t ratio = 50;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
    // A box each output fits inside instead of the ratio; 0 x 0: none.
    int32_t fit_width = 0;
    int32_t fit_height = 0;
    int quality = 90;
    ResampleFilter filter = ResampleFilter::Nearest;
    bool keep_metadata = false;
    int jobs = 1;  // files in progress at most
    // The whole run's memory budget; 0: DefaultMemoryBudget.
    uint64_t memory_budget = 0;
};

// What the run reads for every file: the settings above but the run's own.
FileSettings FileSettingsOf(const ParallelBatchSettings& settings);

// Resizes every entry of files (names derived) and returns how many were written. The
// calling thread starts the files, shows them and waits, so that a stop request is shown
// at once.
int32_t RunBatchInParallel(const std::vector<TListe_File>& files,
                           const ParallelBatchSettings& settings, RunControl& control,
                           ParallelBatchView& view);

}  // namespace pixmora
