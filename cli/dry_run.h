// pixmora-batch --dry-run: what a run would do to each listed file, found without writing
// anything or making any folder, and reading only the files' headers.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/files/file_entry.h"
#include "engine/run/run_control.h"

namespace pixmora {

// Writes one line per entry of files (names derived) to out: its output path, ": " and
// "new", "replaces an existing file", "refused: the output is the source itself",
// "refused: read-only output", "refused: the output is a folder", "clash: also written by
// line K" or "not a JPEG". Returns true when every file would be written; a stop
// request ends the report early, returning false.
bool ReportDryRun(const std::vector<TListe_File>& files, bool fixed_folder_mode,
                  const std::string& fixed_folder, const RunControl& control, std::ostream& out);

}  // namespace pixmora
