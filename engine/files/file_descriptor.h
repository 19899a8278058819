// An open file descriptor, closed when the owner goes, on every path.
#pragma once

#include <utility>

#include <unistd.h>

namespace pixmora {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd = -1) : fd_(fd) {}
    ~TFileDescriptor() { Reset(-1); }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }
    // Hands the descriptor over; nothing is closed afterwards.
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd) {
        if (fd_ >= 0) close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

}  // namespace pixmora
