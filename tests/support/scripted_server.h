// A raw HTTP server on 127.0.0.1 for tests: it accepts one connection, records each request
// it reads and answers with scripted bytes, exactly as given. Every wait is bounded, so a
// test never hangs on it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pixmora::test {

struct ServerScript {
    // One reply per request read on the connection, in order.
    std::vector<std::string> replies;
    // Send each reply in pieces of this many bytes (0: all at once), pausing between them.
    std::size_t piece_size = 0;
    std::chrono::milliseconds piece_pause{0};
    // Close right after the last reply; otherwise keep the connection until the client
    // closes it (or the server is destroyed).
    bool close_after_last = true;
    // After the replies, send this again and again (in pieces as above, pausing between
    // repeats too) until the client goes away: a server that never stops talking.
    std::string repeat{};
};

class ScriptedServer {
public:
    explicit ScriptedServer(ServerScript script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT" + path.
    std::string Url(const std::string& path = "/tolvek/Pixmora/Pixmora.ver") const;
    // Waits (bounded) until the server is done with its connection.
    void WaitUntilDone();
    // The requests read, each up to and including its empty line.
    std::vector<std::string> Requests();
    int Connections() const { return connections_; }
    // True when the client closed the connection (the server read its end).
    bool ClientClosed() const { return client_closed_; }

private:
    void Serve();

    ServerScript script_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::atomic<int> connections_{0};
    std::atomic<bool> client_closed_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

// A port on 127.0.0.1 where nothing listens (taken, then released).
std::uint16_t UnusedPort();

// A listener on 127.0.0.1 that never accepts and whose queue is full: the system ignores
// further connection requests, so connecting to it hangs.
class UnansweredListener {
public:
    UnansweredListener();
    ~UnansweredListener();
    UnansweredListener(const UnansweredListener&) = delete;
    UnansweredListener& operator=(const UnansweredListener&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::vector<int> fillers_;
};

}  // namespace pixmora::test
