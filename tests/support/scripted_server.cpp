// Scripted loopback server for the tests of the HTTP client and the update check.
#include "support/scripted_server.h"

#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pixmora::test {

namespace {

constexpr auto kLongestWait = std::chrono::seconds(10);

int ListenOnLoopback(std::uint16_t& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 4) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(fd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

// Waits for `fd` to be ready for `events` for at most `limit`, in short steps that look at
// `stop`.
bool WaitReady(int fd, short events, const std::atomic<bool>& stop,
               std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!stop && std::chrono::steady_clock::now() < until) {
        pollfd entry{fd, events, 0};
        if (poll(&entry, 1, 20) > 0) return true;
    }
    return false;
}

}  // namespace

ScriptedServer::ScriptedServer(ServerScript script) : script_(std::move(script)) {
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string ScriptedServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ScriptedServer::WaitUntilDone() {
    const auto until = std::chrono::steady_clock::now() + kLongestWait;
    while (!done_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

std::vector<std::string> ScriptedServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void ScriptedServer::Serve() {
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(kLongestWait);
    if (!WaitReady(listener_, POLLIN, stop_, limit)) {
        done_ = true;
        return;
    }
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) {
        done_ = true;
        return;
    }
    ++connections_;
    std::string received;
    bool peer_closed = false;
    // Reads until a whole request (ended by an empty line) is there; false on a close.
    auto read_request = [&]() {
        for (;;) {
            if (const auto end = received.find("\r\n\r\n"); end != std::string::npos) {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(received.substr(0, end + 4));
                received.erase(0, end + 4);
                return true;
            }
            if (!WaitReady(connection, POLLIN, stop_, limit)) return false;
            char buffer[4096];
            const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) {
                peer_closed = got == 0;
                return false;
            }
            received.append(buffer, static_cast<std::size_t>(got));
        }
    };

    // Sends in the script's pieces; false once the client is gone or the server stops.
    auto send_reply = [&](const std::string& reply) {
        const std::size_t piece = script_.piece_size == 0 ? reply.size() : script_.piece_size;
        for (std::size_t at = 0; at < reply.size(); at += piece) {
            if (at > 0) std::this_thread::sleep_for(script_.piece_pause);
            const std::string part = reply.substr(at, piece);
            if (!WaitReady(connection, POLLOUT, stop_, limit) ||
                send(connection, part.data(), part.size(), MSG_NOSIGNAL) < 0)
                return false;
        }
        return true;
    };

    bool talking = true;
    for (const std::string& reply : script_.replies) {
        talking = read_request() && send_reply(reply);
        if (!talking) break;
    }
    while (talking && !script_.repeat.empty() && send_reply(script_.repeat))
        std::this_thread::sleep_for(script_.piece_pause);
    if (!peer_closed && (!script_.close_after_last || script_.replies.empty())) {
        // Hold the connection until the client lets go of it.
        char buffer[4096];
        while (WaitReady(connection, POLLIN, stop_, limit)) {
            const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
            if (got <= 0) {
                peer_closed = got == 0;
                break;
            }
            received.append(buffer, static_cast<std::size_t>(got));
        }
    }
    client_closed_ = peer_closed;
    close(connection);
    done_ = true;
}

std::uint16_t UnusedPort() {
    std::uint16_t port = 0;
    close(ListenOnLoopback(port));
    return port;
}

UnansweredListener::UnansweredListener() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(listener_, 0) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (listener_ >= 0) close(listener_);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    for (int i = 0; i < 3; ++i) {
        fillers_.push_back(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        connect(fillers_.back(), reinterpret_cast<sockaddr*>(&address), size);
    }
}

UnansweredListener::~UnansweredListener() {
    for (const int filler : fillers_) close(filler);
    close(listener_);
}

}  // namespace pixmora::test
