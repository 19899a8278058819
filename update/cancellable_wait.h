// The one way the HTTP client waits: for a descriptor to be ready, until a point in time,
// and ended at once by a cancel raised on another thread.
#pragma once

#include <chrono>

#include "update/pollable_flag.h"

namespace pixmora {

using SteadyTime = std::chrono::steady_clock::time_point;

// Returns once `descriptor` is ready for `events` (or has failed, for the next call on it
// to report). Throws RequestCancelled when `cancel` is raised, also before the call, and
// TimeLimitExpired (a SocketError with ETIMEDOUT) once `until` has passed, even when the
// descriptor is ready: a peer that never stops sending cannot outlast the limit.
void WaitUntilReady(int descriptor, short events, SteadyTime until, const PollableFlag& cancel);

// The end of one wait of at most `wait`, never past `deadline`.
SteadyTime WaitEnd(std::chrono::milliseconds wait, SteadyTime deadline);

}  // namespace pixmora
