// The batch run behind Start: every listed file resized by the ratio and saved into its
// output folder, with the list marks, measures and progress shown on the way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/run/batch_view.h"
#include "engine/files/file_entry.h"
#include "engine/run/run_state.h"

namespace pixmora {

inline constexpr char kFileErrorPrefix[] = "JPEG File error : ";

// The status caption once processed files of count are done: "processing 3 / 10".
std::string ProcessingText(int32_t processed, int32_t count);

// Runs over the first state.FileCount entries of files (the count taken at the start). The
// view's events are handled once per file; they may change files, and the run ends when its
// entry is gone. A failed save is reported and the run goes on; any other failure is
// reported and ends the run. A source file is never replaced by its own output.
void RunBatch(const std::vector<TListe_File>& files, RunState& state, BatchView& view);

// What Stop does: the run ends after the file in progress; Start is usable again at once.
void StopRun(RunState& state, BatchView& view);

}  // namespace pixmora
