// pixmora-batch's run: the listed files resized by several threads at once, each output
// byte for byte what the one-file-at-a-time run writes. The run's rules hold: a failed save
// is reported and the run goes on; any other failure is reported and no new file is
// started; a stop request lets the files in progress finish; two files with one output are
// never written at the same time, and the later one in the list wins.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/run/parallel_batch_view.h"
#include "engine/run/run_control.h"

namespace pixmora {

struct ParallelBatchSettings {
    int32_t ratio = 50;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
    int jobs = 1;  // files in progress at most
    // Memory one file's decoding may take; 0: DefaultMemoryBudget shared among the jobs.
    uint64_t memory_budget = 0;
};

// Resizes every entry of files (names derived) and returns how many were written. The
// calling thread starts the workers and then only watches, so that a stop request is shown
// at once.
int32_t RunBatchInParallel(const std::vector<TListe_File>& files,
                           const ParallelBatchSettings& settings, RunControl& control,
                           ParallelBatchView& view);

}  // namespace pixmora
