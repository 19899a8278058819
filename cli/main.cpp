// pixmora-batch: resizes JPEG files from the command line with the window's batch run.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "cli/batch_command.h"

namespace {

// Ctrl-C presses; the only state the program keeps outside the run.
volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void OnInterrupt(int) {
    // The second press quits at once; a save in progress leaves no file behind.
    if (g_interrupts != 0) _exit(130);
    g_interrupts = 1;
}

}  // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);

    const std::vector<std::string> args(argv + 1, argv + argc);
    return pixmora::RunBatchCommand(args, std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                                    &g_interrupts);
}
