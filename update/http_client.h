// A small blocking HTTP/1.1 client for one GET at a time over IPv4: no redirects, no
// cookies, no credentials, no secure transport, and a time limit on every wait.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "update/http_response.h"
#include "update/http_response_reader.h"
#include "update/tcp_socket.h"

namespace pixmora {

struct HttpTimeLimits {
    std::chrono::milliseconds connect{5000};  // to open the connection
    std::chrono::milliseconds wait{5000};     // each wait for data or for room to send
    std::chrono::milliseconds total{15000};   // the whole exchange, from connect to last byte
};

struct HttpClientSettings {
    HttpTimeLimits limits;
    // Larger bodies fail with ResponseTooLarge instead of filling memory.
    std::size_t max_body_bytes = HttpReaderLimits{}.max_body_bytes;
};

class HttpClient {
public:
    HttpClient() = default;
    explicit HttpClient(HttpClientSettings settings) : settings_(settings) {}
    // Closes a connection kept open by the last exchange.
    ~HttpClient() = default;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    HttpClientSettings& Settings() { return settings_; }
    const HttpClientSettings& Settings() const { return settings_; }

    // One exchange. A success appends the body to `body`; every failure is thrown as one of
    // the classes of update/http_errors.h, and what was already appended stays. A status in
    // `statuses_to_pass` is not an error (its body is read and dropped). The connection is
    // kept for the next Get to the same host and port only when the response was read to
    // its end, nothing followed it, the server left it open and did not ask to close it.
    void Get(std::string_view address, std::string& body,
             const std::vector<int>& statuses_to_pass = {});

    bool Connected() const { return socket_.IsOpen(); }
    // The record of the last response read, also after a failure.
    const HttpResponse& LastResponse() const { return last_response_; }

private:
    void EndExchange(const HttpResponseReader& reader);

    HttpClientSettings settings_;
    TcpSocket socket_;
    std::string connected_host_;
    std::uint16_t connected_port_ = 0;
    HttpResponse last_response_;
};

}  // namespace pixmora
