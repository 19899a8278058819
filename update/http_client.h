// A small blocking HTTP/1.1 client for one GET at a time over IPv4: no redirects, no
// cookies, no credentials, no secure transport, a time limit on every wait and on the
// whole exchange, and a cancel that another thread can raise.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "update/host_lookup.h"
#include "update/http_response.h"
#include "update/http_response_reader.h"
#include "update/pollable_flag.h"
#include "update/tcp_socket.h"

namespace pixmora {

struct HttpTimeLimits {
    std::chrono::milliseconds connect{5000};  // to open the connection, name lookup included
    std::chrono::milliseconds wait{5000};     // each wait for data or for room to send
    // The whole exchange, from the name lookup to the last byte, however fast bytes come.
    std::chrono::milliseconds total{15000};
};

struct HttpClientSettings {
    HttpTimeLimits limits;
    // Larger bodies fail with ResponseTooLarge instead of filling memory.
    std::size_t max_body_bytes = HttpReaderLimits{}.max_body_bytes;
    // Turns host names into addresses; tests put a lookup of their own here.
    HostLookup host_lookup = SystemHostLookup;
};

class HttpClient {
public:
    // Both throw SocketError when the system has no descriptors left.
    HttpClient() = default;
    explicit HttpClient(HttpClientSettings settings) : settings_(std::move(settings)) {}
    // Closes a connection kept open by the last exchange.
    ~HttpClient() = default;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpClientSettings& Settings() { return settings_; }
    const HttpClientSettings& Settings() const { return settings_; }

    // One exchange. A success appends the body to `body`; every failure is thrown as one of
    // the classes of update/http_errors.h, and what was already appended stays, except that
    // a response cut by a limit (TimeLimitExpired, ResponseTooLarge) appends nothing. A
    // status in `statuses_to_pass` is not an error (its body is read and dropped). The
    // connection is kept for the next Get to the same host and port only when the response
    // was read to its end, nothing followed it, the server left it open and did not ask to
    // close it.
    void Get(std::string_view address, std::string& body,
             const std::vector<int>& statuses_to_pass = {});

    // Ends an exchange under way on another thread at once: its Get throws
    // RequestCancelled, and so does every later Get, before connecting. The only member
    // that may be called while another thread is in Get.
    void Cancel() { cancel_.Raise(); }
    bool Cancelled() const { return cancel_.IsRaised(); }

    bool Connected() const { return socket_.IsOpen(); }
    // The record of the last response read, also after a failure.
    const HttpResponse& LastResponse() const { return last_response_; }

private:
    void EndExchange(const HttpResponseReader& reader);

    HttpClientSettings settings_;
    PollableFlag cancel_;
    TcpSocket socket_{cancel_};
    std::string connected_host_;
    std::uint16_t connected_port_ = 0;
    HttpResponse last_response_;
};

}  // namespace pixmora
