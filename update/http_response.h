// What the client knows about one response: its status line, headers and the values it
// derives from them.
#pragma once

#include <cstdint>
#include <string>

#include "update/http_headers.h"

namespace pixmora {

struct HttpResponse {
    std::string status_line;
    int status_code = -1;  // -1 when the second word of the status line is not a number
    HttpHeaders headers;

    // Content-Length as a signed 32-bit number, -1 when absent or not a number.
    std::int32_t ContentLength() const;
    bool HasContentLength() const { return ContentLength() >= 0; }
    bool IsChunked() const;
    std::string Location() const { return headers.Value("Location"); }
    // False when Connection or Proxy-Connection says "close".
    bool KeepAlive() const;
};

// Second space-separated word of a status line as a decimal number, -1 otherwise.
int ParseStatusCode(std::string_view status_line);

}  // namespace pixmora
