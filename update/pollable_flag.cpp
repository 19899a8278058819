// POSIX pipe behind the pollable flag.
#include "update/pollable_flag.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "update/http_errors.h"

namespace pixmora {

PollableFlag::PollableFlag() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw SocketError(errno);
    read_end_ = ends[0];
    write_end_ = ends[1];
}

PollableFlag::~PollableFlag() {
    close(read_end_);
    close(write_end_);
}

void PollableFlag::Raise() {
    // Only the first raise writes, so the pipe never fills and the write never blocks.
    if (raised_.exchange(true)) return;
    const char byte = 1;
    while (write(write_end_, &byte, 1) < 0 && errno == EINTR) {
    }
}

}  // namespace pixmora
