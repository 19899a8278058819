// poll over the descriptor and the cancel flag's pipe.
#include "update/cancellable_wait.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>

#include "update/http_errors.h"

namespace pixmora {

void WaitUntilReady(int descriptor, short events, SteadyTime until, const PollableFlag& cancel) {
    using std::chrono::ceil;
    using std::chrono::milliseconds;
    for (;;) {
        if (cancel.IsRaised()) throw RequestCancelled();
        const auto left = until - std::chrono::steady_clock::now();
        if (left <= left.zero()) throw TimeLimitExpired();
        // Rounded up so a wait never ends a fraction of a millisecond early.
        const int timeout = static_cast<int>(ceil<milliseconds>(left).count());
        pollfd entries[2] = {{descriptor, events, 0}, {cancel.ReadableDescriptor(), POLLIN, 0}};
        const int ready = poll(entries, 2, timeout);
        if (ready < 0 && errno != EINTR) throw SocketError(errno);
        if (ready <= 0) continue;
        if (entries[1].revents != 0) throw RequestCancelled();
        if (entries[0].revents != 0) return;
    }
}

SteadyTime WaitEnd(std::chrono::milliseconds wait, SteadyTime deadline) {
    return std::min(std::chrono::steady_clock::now() + wait, deadline);
}

}  // namespace pixmora
