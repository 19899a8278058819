// Texts of the HTTP client's failures.
#include "update/http_errors.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace pixmora {

HttpProtocolError::HttpProtocolError(int status_code, const std::string& status_line,
                                     std::string error_text)
    : HttpError(status_line), status_code_(status_code), error_text_(std::move(error_text)) {}

SocketError::SocketError(int code) : SocketError(code, std::strerror(code)) {}

SocketError::SocketError(int code, const std::string& text)
    : HttpError("Socket Error # " + std::to_string(code) + "\r\n" + text), code_(code) {}

TimeLimitExpired::TimeLimitExpired() : SocketError(ETIMEDOUT) {}

}  // namespace pixmora
