// pixmora-batch's words for why a file was not written: after its path in a run's failure
// line, and after its output path in the dry run's report.
#pragma once

#include <string>

#include "engine/run/failure_reason.h"

namespace pixmora {

// "cannot open: No such file or directory", "not a JPEG file", "no pixels at 1 %", ...
std::string RunFailureText(const FailureReason& reason);

// The dry run's words for a file the run would not write, or would stop at: "cannot read:
// ...", "not a JPEG", "refused: no pixels at 1 %", ...
std::string DryRunFailureText(const FailureReason& reason);

}  // namespace pixmora
