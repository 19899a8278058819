// pixmora-batch as a function: arguments in, exit status out, so the signal handling of the
// program entry stays apart.
#pragma once

#include <csignal>
#include <ostream>
#include <string>
#include <vector>

namespace pixmora {

inline constexpr int kExitAllWritten = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitUsage = 2;

// Collects the paths, runs the batch and returns the exit status. interrupts counts Ctrl-C
// presses; when it is non-zero the run stops after the file in progress.
int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool err_is_terminal, const volatile std::sig_atomic_t* interrupts);

}  // namespace pixmora
