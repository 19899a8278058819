// The signal-waiting thread (POSIX sigwait).
#include "cli/interrupt_watcher.h"

#include <pthread.h>
#include <unistd.h>

namespace pixmora {

namespace {

// Ctrl-C ends with the shell's status for it; any other signal ends the process by itself.
[[noreturn]] void EndBy(int signal_number) {
    if (signal_number == SIGINT) _exit(128 + SIGINT);
    std::signal(signal_number, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal_number);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal_number);
    _exit(128 + signal_number);
}

}  // namespace

InterruptWatcher::InterruptWatcher(RunControl& control) : control_(control) {
    sigemptyset(&signals_);
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&signals_, signal_number);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    thread_ = std::thread([this] { Watch(); });
}

InterruptWatcher::~InterruptWatcher() {
    closing_ = true;
    pthread_kill(thread_.native_handle(), SIGINT);
    thread_.join();
}

void InterruptWatcher::EndBySignalThatStopped() {
    const int signal_number = stop_signal_.load();
    if (signal_number != 0 && signal_number != SIGINT) EndBy(signal_number);
}

void InterruptWatcher::Watch() {
    for (;;) {
        int signal_number = 0;
        if (sigwait(&signals_, &signal_number) != 0) continue;
        if (closing_) return;
        if (stop_signal_.load() == 0) {
            stop_signal_ = signal_number;
            control_.RequestStop();
            continue;
        }
        control_.CloseSaves();
        EndBy(signal_number);
    }
}

}  // namespace pixmora
