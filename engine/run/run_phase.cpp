// The transitions of the window's run phase.
#include "engine/run/run_phase.h"

namespace pixmora {

bool WindowRunPhase::StartClicked() {
    switch (phase_) {
        case RunPhase::Idle:
            phase_ = RunPhase::Running;
            return true;
        case RunPhase::Stopping:
            phase_ = RunPhase::StartQueued;
            return false;
        default:
            return false;
    }
}

bool WindowRunPhase::StopClicked() {
    if (phase_ != RunPhase::Running) return false;
    phase_ = RunPhase::Stopping;
    return true;
}

bool WindowRunPhase::CloseAsked() {
    switch (phase_) {
        case RunPhase::Idle:
        case RunPhase::Closed:
            phase_ = RunPhase::Closed;
            return true;
        case RunPhase::Running:
        case RunPhase::Stopping:
        case RunPhase::StartQueued:
            phase_ = RunPhase::Closing;
            return false;
        default:
            return false;
    }
}

bool WindowRunPhase::DownloadAccepted() {
    switch (phase_) {
        case RunPhase::Idle:
            phase_ = RunPhase::Closed;
            return true;
        case RunPhase::Running:
        case RunPhase::Stopping:
        case RunPhase::StartQueued:
        case RunPhase::Closing:
            phase_ = RunPhase::Ending;
            return false;
        default:
            return false;
    }
}

AfterRun WindowRunPhase::RunReturned() {
    switch (phase_) {
        case RunPhase::Running:
        case RunPhase::Stopping:
            phase_ = RunPhase::Idle;
            return AfterRun::Nothing;
        case RunPhase::StartQueued:
            phase_ = RunPhase::Idle;
            return AfterRun::StartAgain;
        case RunPhase::Closing:
            phase_ = RunPhase::Closed;
            return AfterRun::Close;
        case RunPhase::Ending:
            phase_ = RunPhase::Closed;
            return AfterRun::EndProgram;
        default:
            return AfterRun::Nothing;
    }
}

}  // namespace pixmora
