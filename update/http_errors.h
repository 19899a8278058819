// The failures an HTTP exchange reports to its caller, one class per kind, each with the
// text the user would see.
#pragma once

#include <stdexcept>
#include <string>

namespace pixmora {

// Base of every failure of the HTTP client.
class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The server answered with a status that is not a success (redirects included). The
// message is the status line as received; the body that came with it is kept apart.
class HttpProtocolError : public HttpError {
public:
    HttpProtocolError(int status_code, const std::string& status_line, std::string error_text);
    int StatusCode() const { return status_code_; }
    const std::string& ErrorText() const { return error_text_; }

private:
    int status_code_;
    std::string error_text_;
};

// A socket call failed (lookup, connect, send, receive, or an expired time limit); carries
// the system's error code.
class SocketError : public HttpError {
public:
    explicit SocketError(int code);
    // For codes that do not come from errno (host name lookups).
    SocketError(int code, const std::string& text);
    int Code() const { return code_; }

private:
    int code_;
};

// One of the client's own time limits expired: ETIMEDOUT and its text.
class TimeLimitExpired : public SocketError {
public:
    TimeLimitExpired();
};

// The peer closed the connection before a line or a chunk was complete.
class ConnectionClosedGracefully : public HttpError {
public:
    ConnectionClosedGracefully() : HttpError("Connection Closed Gracefully.") {}
};

class MaxLineLengthExceeded : public HttpError {
public:
    MaxLineLengthExceeded() : HttpError("Max line length exceeded.") {}
};

// An address whose protocol is neither http nor https and that names no port.
class UnknownProtocol : public HttpError {
public:
    UnknownProtocol() : HttpError("Unknown Protocol") {}
};

// An https address: the client has no secure transport.
class IoHandlerInvalid : public HttpError {
public:
    IoHandlerInvalid() : HttpError("IOHandler value is not valid") {}
};

// The exchange was cancelled from another thread (HttpClient::Cancel).
class RequestCancelled : public HttpError {
public:
    RequestCancelled() : HttpError("Request cancelled.") {}
};

// A body larger than the client accepts (or than memory can hold).
class ResponseTooLarge : public HttpError {
public:
    ResponseTooLarge() : HttpError("Response body too large") {}
};

}  // namespace pixmora
