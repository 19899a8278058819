// A flag that one thread raises and another can wait for with poll, together with a
// socket: a pipe that turns readable once the flag is raised.
#pragma once

#include <atomic>

namespace pixmora {

class PollableFlag {
public:
    // Throws SocketError when the system has no descriptors left for the pipe.
    PollableFlag();
    ~PollableFlag();
    PollableFlag(const PollableFlag&) = delete;
    PollableFlag& operator=(const PollableFlag&) = delete;

    // Safe from any thread, any number of times; the flag stays raised.
    void Raise();
    bool IsRaised() const { return raised_.load(); }
    // Readable from the moment the flag is raised, for poll's POLLIN; never read from.
    int ReadableDescriptor() const { return read_end_; }

private:
    std::atomic<bool> raised_{false};
    int read_end_ = -1;
    int write_end_ = -1;
};

}  // namespace pixmora
