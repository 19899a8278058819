// The window's batch run as one phase, and what each event does to it: the whole table of
// Start, Stop, closing the window and the accepted download, and of what happens once a
// run has returned.
//
//   phase         Start         Stop       close           download     run returned
//   idle          running       -          closed (now)    closed (now) -
//   running       -             stopping   closing         ending       idle
//   stopping      start queued  -          closing         ending       idle
//   start queued  -             -          closing         ending       idle, Start again
//   closing       -             -          -               ending       closed, close
//   ending        -             -          -               -            closed, end program
//   closed        -             -          closed (now)    -            -
//
// In every phase but idle and closed a run is under way; closing, ending and a stop ask it
// to start no new file.
#pragma once

namespace pixmora {

enum class RunPhase { Idle, Running, Stopping, StartQueued, Closing, Ending, Closed };

// What the window does once its run has returned.
enum class AfterRun { Nothing, StartAgain, Close, EndProgram };

class WindowRunPhase {
public:
    RunPhase Phase() const { return phase_; }
    // A run is under way (it may be stopping).
    bool Running() const { return phase_ != RunPhase::Idle && phase_ != RunPhase::Closed; }
    // The window is closing or closed: its settings are saved.
    bool Leaving() const {
        return phase_ == RunPhase::Closing || phase_ == RunPhase::Ending ||
               phase_ == RunPhase::Closed;
    }

    // True when a run begins now; a Start during a stopping run waits for it to return.
    bool StartClicked();
    // True when the run under way is to stop.
    bool StopClicked();
    // True when the window may close now; otherwise the run under way is to stop, and the
    // window closes once it has returned.
    bool CloseAsked();
    // True when the program may end now; otherwise the run under way is to stop, and the
    // program ends once it has returned.
    bool DownloadAccepted();
    AfterRun RunReturned();

private:
    RunPhase phase_ = RunPhase::Idle;
};

}  // namespace pixmora
