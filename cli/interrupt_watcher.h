// Ctrl-C and the signals that end the process, taken by a thread of their own: the first
// Ctrl-C asks the run to stop after the files in progress; a second one, or SIGTERM, SIGHUP
// or SIGQUIT, ends the process as soon as no file is being written, so that none is left
// half written whichever thread is writing.
#pragma once

#include <atomic>
#include <csignal>
#include <thread>

#include "engine/run/run_control.h"

namespace pixmora {

class InterruptWatcher {
public:
    // Holds the signals back in the calling thread, and so in every thread it starts
    // afterwards: construct it before any other thread.
    explicit InterruptWatcher(RunControl& control);
    // Ends the watching thread; signals coming later stay pending.
    ~InterruptWatcher();
    InterruptWatcher(const InterruptWatcher&) = delete;
    InterruptWatcher& operator=(const InterruptWatcher&) = delete;

private:
    void Watch();

    RunControl& control_;
    sigset_t signals_;
    std::atomic<bool> closing_{false};
    std::thread thread_;
};

}  // namespace pixmora
