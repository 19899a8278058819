// pixmora-batch as a function: arguments in, exit status out, so the signal handling of the
// program entry stays apart.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/batch_options.h"
#include "engine/run/parallel_batch_run.h"
#include "engine/run/run_control.h"

namespace pixmora {

inline constexpr int kExitAllWritten = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

// The run's settings from the command line's options (jobs: one per online core unless
// given).
ParallelBatchSettings RunSettingsOf(const BatchOptions& options);

// Collects the paths (in: the list read by "--files-from -"), runs the batch or the dry run
// and returns the exit status. A stop request on control ends the run after the files in
// progress.
int RunBatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err, bool err_is_terminal, RunControl& control);

}  // namespace pixmora
