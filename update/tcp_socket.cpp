// POSIX implementation of the HTTP client's connection.
#include "update/tcp_socket.h"

#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include "update/http_errors.h"

namespace pixmora {

namespace {

in_addr ResolveIpv4(const std::string& host, const HostLookup& lookup, SteadyTime until,
                    const PollableFlag& cancel) {
    in_addr address{};
    if (strcasecmp(host.c_str(), "localhost") == 0) {
        address.s_addr = htonl(INADDR_LOOPBACK);
    } else if (inet_pton(AF_INET, host.c_str(), &address) != 1) {
        address.s_addr = htonl(LookUpHost(lookup, host, until, cancel));
    }
    return address;
}

}  // namespace

void TcpSocket::Connect(const std::string& host, std::uint16_t port, const HostLookup& lookup,
                        std::chrono::milliseconds limit, SteadyTime deadline) {
    Close();
    const SteadyTime until = WaitEnd(limit, deadline);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr = ResolveIpv4(host, lookup, until, cancel_);

    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) throw SocketError(errno);
    try {
        const int no_delay = 0;  // small writes may wait to be coalesced
        if (setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof no_delay) != 0)
            throw SocketError(errno);
        if (connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
            if (errno != EINPROGRESS) throw SocketError(errno);
            WaitFor(POLLOUT, until);
            int failure = 0;
            socklen_t size = sizeof failure;
            if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &failure, &size) != 0) failure = errno;
            if (failure != 0) throw SocketError(failure);
        }
    } catch (...) {
        ::close(fd_);
        fd_ = -1;
        throw;
    }
}

void TcpSocket::SendAll(std::string_view bytes, std::chrono::milliseconds wait,
                        SteadyTime deadline) {
    while (!bytes.empty()) {
        // Waiting first, even when there is room, checks the deadline and a cancel.
        WaitFor(POLLOUT, WaitEnd(wait, deadline));
        const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            throw SocketError(errno);
        }
    }
}

std::size_t TcpSocket::Receive(char* buffer, std::size_t capacity, std::chrono::milliseconds wait,
                               SteadyTime deadline) {
    for (;;) {
        // Waiting first, even when bytes are there, checks the deadline and a cancel.
        WaitFor(POLLIN, WaitEnd(wait, deadline));
        const ssize_t got = recv(fd_, buffer, capacity, 0);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) throw SocketError(errno);
    }
}

bool TcpSocket::HasIncoming() const {
    if (fd_ < 0) return false;
    pollfd entry{fd_, POLLIN, 0};
    return poll(&entry, 1, 0) != 0;
}

void TcpSocket::Close() {
    if (fd_ < 0) return;
    shutdown(fd_, SHUT_WR);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace pixmora
