// pixmora-batch: resizes JPEG files from the command line with the engine's parallel run.
#include <iostream>
#include <string>
#include <vector>

#include <sys/syscall.h>
#include <unistd.h>

#include "cli/batch_command.h"
#include "cli/interrupt_watcher.h"
#include "engine/run/run_control.h"

int main(int argc, char** argv) {
    pixmora::RunControl control;
    // Before any other thread, so that every thread leaves the signals to the watcher.
    pixmora::InterruptWatcher watcher(control);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = pixmora::RunBatchCommand(args, std::cin, std::cout, std::cerr,
                                                isatty(STDERR_FILENO) == 1, control);
    std::cout.flush();
    watcher.EndBySignalThatStopped();
    // Not exit(): the progress printer may still be blocked on a standard error that nobody
    // reads, holding the stream that exit would flush. The process ends as _exit ends it,
    // by the system call itself, which the thread checker's _exit (flushing the streams
    // first) would also wait on.
    syscall(SYS_exit_group, status);
    _exit(status);
}
