// Ctrl-C and the signals that end the process, taken by a thread of their own. The first
// SIGINT, SIGTERM, SIGHUP or SIGQUIT asks the run to stop: no file starts, the files in
// progress are finished and written. A second one ends the process as soon as no file is
// being written, so that none is left half written whichever thread is writing.
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

    // Once the stopped run has ended: when SIGTERM, SIGHUP or SIGQUIT stopped it, ends the
    // process by that signal, as whoever sent it expects. After Ctrl-C, or with no signal,
    // returns and the run's exit status stands.
    void EndBySignalThatStopped();

private:
    void Watch();

    RunControl& control_;
    sigset_t signals_;
    std::atomic<bool> closing_{false};
    std::atomic<int> stop_signal_{0};
    std::thread thread_;
};

}  // namespace pixmora
