// One IPv4 TCP connection over POSIX sockets, every wait bounded by a time limit; the only
// file that speaks to the system's socket interface.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pixmora {

using SteadyTime = std::chrono::steady_clock::time_point;

class TcpSocket {
public:
    TcpSocket() = default;
    ~TcpSocket() { Close(); }
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Resolves `host` ("localhost" in any case, a dotted address, or a name looked up for
    // IPv4, first address) and connects, waiting at most `limit` and never past `deadline`.
    // Throws SocketError; the socket stays closed then.
    void Connect(const std::string& host, std::uint16_t port, std::chrono::milliseconds limit,
                 SteadyTime deadline);
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
    // Waits for `events` on the socket; throws SocketError(ETIMEDOUT) when the time is up.
    void WaitFor(short events, std::chrono::milliseconds limit, SteadyTime deadline) const;

    int fd_ = -1;
};

}  // namespace pixmora
