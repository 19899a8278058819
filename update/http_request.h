// The one request the HTTP client sends: where it goes and its exact bytes.
#pragma once

#include <cstdint>
#include <string>

#include "update/http_url.h"

namespace pixmora {

struct HttpRequest {
    std::string host;         // to resolve, as written in the address
    std::uint16_t port = 80;  // numeric port to connect to
    std::string host_header;  // host, plus ":" and the port when it is not 80
    std::string target;
};

// Throws IoHandlerInvalid for https, UnknownProtocol for another protocol without a port,
// and SocketError(EINVAL) for a port that is not a number from 0 to 65535.
HttpRequest PrepareGetRequest(const HttpUrl& url);

// The request as one block: request line, Host, Accept, Accept-Encoding, User-Agent, empty
// line, each ended by CR LF.
std::string GetRequestText(const HttpRequest& request);

}  // namespace pixmora
