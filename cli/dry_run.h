// pixmora-batch --dry-run: what a run would do to each listed file, found without writing
// anything or making any folder, and reading each file only up to its header.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/run/parallel_batch_run.h"
#include "engine/run/run_control.h"

namespace pixmora {

// Writes one line per entry of files (names derived) to out: its output path, ": " and
// for a file the run would write its output's size ("W x H, ") and "new" or "replaces an
// existing file" (with ", then line K replaces it" when a later line writes the same
// output, or "replaces the output of line K" for that later line); otherwise a
// refusal ("refused: ..."), a failure that ends the run ("not a JPEG", "cannot read: ...",
// "damaged data: ...", "refused: needs X MiB, ...") or, after such a line, "not reached:
// the run ends at line K". Returns true when the run would write every file; a stop
// request ends the report early, returning false. settings.jobs is not used.
bool ReportDryRun(const std::vector<TListe_File>& files, const ParallelBatchSettings& settings,
                  const RunControl& control, std::ostream& out);

}  // namespace pixmora
