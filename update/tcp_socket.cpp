// POSIX implementation of the HTTP client's connection.
#include "update/tcp_socket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include "update/http_errors.h"

namespace pixmora {

namespace {

in_addr ResolveIpv4(const std::string& host) {
    in_addr address{};
    if (strcasecmp(host.c_str(), "localhost") == 0) {
        address.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    if (inet_pton(AF_INET, host.c_str(), &address) == 1) return address;

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (status != 0) {
        if (status == EAI_SYSTEM) throw SocketError(errno);
        throw SocketError(status, gai_strerror(status));
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return address;
}

}  // namespace

void TcpSocket::WaitFor(short events, std::chrono::milliseconds limit, SteadyTime deadline) const {
    using std::chrono::duration_cast;
    using std::chrono::milliseconds;
    const SteadyTime until = std::min(std::chrono::steady_clock::now() + limit, deadline);
    for (;;) {
        const auto left = duration_cast<milliseconds>(until - std::chrono::steady_clock::now());
        // Round up so a wait never ends a fraction of a millisecond early.
        const int timeout = left.count() <= 0 ? 0 : static_cast<int>(left.count()) + 1;
        pollfd entry{fd_, events, 0};
        const int ready = poll(&entry, 1, timeout);
        if (ready > 0) return;
        if (ready < 0 && errno != EINTR) throw SocketError(errno);
        if (ready == 0 && std::chrono::steady_clock::now() >= until) throw SocketError(ETIMEDOUT);
    }
}

void TcpSocket::Connect(const std::string& host, std::uint16_t port,
                        std::chrono::milliseconds limit, SteadyTime deadline) {
    Close();
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr = ResolveIpv4(host);

    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) throw SocketError(errno);
    try {
        const int no_delay = 0;  // small writes may wait to be coalesced
        if (setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof no_delay) != 0)
            throw SocketError(errno);
        if (connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
            if (errno != EINPROGRESS) throw SocketError(errno);
            WaitFor(POLLOUT, limit, deadline);
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
        const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitFor(POLLOUT, wait, deadline);
        } else if (errno != EINTR) {
            throw SocketError(errno);
        }
    }
}

std::size_t TcpSocket::Receive(char* buffer, std::size_t capacity, std::chrono::milliseconds wait,
                               SteadyTime deadline) {
    for (;;) {
        WaitFor(POLLIN, wait, deadline);
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
