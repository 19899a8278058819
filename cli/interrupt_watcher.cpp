// The signal-waiting thread (POSIX sigwait).
#include "cli/interrupt_watcher.h"

#include <pthread.h>
#include <unistd.h>

namespace pixmora {

namespace {

constexpr int kInterruptedStatus = 128 + SIGINT;

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

void InterruptWatcher::Watch() {
    bool interrupted = false;
    for (;;) {
        int signal_number = 0;
        if (sigwait(&signals_, &signal_number) != 0) continue;
        if (closing_) return;
        if (signal_number == SIGINT && !interrupted) {
            interrupted = true;
            control_.RequestStop();
            continue;
        }
        control_.CloseSaves();
        if (signal_number == SIGINT) _exit(kInterruptedStatus);
        // Any other signal ends the process by itself, as whoever sent it expects.
        std::signal(signal_number, SIG_DFL);
        sigset_t only;
        sigemptyset(&only);
        sigaddset(&only, signal_number);
        pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
        raise(signal_number);
        _exit(128 + signal_number);
    }
}

}  // namespace pixmora
