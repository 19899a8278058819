// One IPv4 TCP connection over POSIX sockets, every wait bounded by a time limit and
// ended at once by a cancel from another thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "update/cancellable_wait.h"
#include "update/host_lookup.h"
#include "update/pollable_flag.h"

namespace pixmora {

class TcpSocket {
public:
    // Every wait, the name lookup's included, ends at once with RequestCancelled when
    // `cancel` is raised; `cancel` must outlive the socket.
    explicit TcpSocket(const PollableFlag& cancel) : cancel_(cancel) {}
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves `host` ("localhost" in any case, a dotted address, or a name given to
    // `lookup`) and connects; the lookup and the connect together wait at most `limit` and
    // never past `deadline`. Throws SocketError or RequestCancelled; the socket stays
    // closed then.
    void Connect(const std::string& host, std::uint16_t port, const HostLookup& lookup,
                 std::chrono::milliseconds limit, SteadyTime deadline);
    // Hands over every byte; each wait for room at most `wait`, never past `deadline`.
    void SendAll(std::string_view bytes, std::chrono::milliseconds wait, SteadyTime deadline);
    // Waits for data or the peer's close like SendAll; 0 means the peer closed.
    std::size_t Receive(char* buffer, std::size_t capacity, std::chrono::milliseconds wait,
                        SteadyTime deadline);
    // Without waiting: whether data or a close is ready to be read.
    bool HasIncoming() const;
    bool IsOpen() const { return fd_ >= 0; }
    // Shuts the sending direction down, then closes. Safe to call more than once.
    void Close();

private:
    void WaitFor(short events, SteadyTime until) const {
        WaitUntilReady(fd_, events, until, cancel_);
    }

    const PollableFlag& cancel_;
    int fd_ = -1;
};

}  // namespace pixmora
