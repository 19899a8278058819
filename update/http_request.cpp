// Port and Host rules of the request, and its bytes.
#include "update/http_request.h"

#include <cerrno>
#include <charconv>

#include "update/http_errors.h"
#include "update/http_headers.h"

namespace pixmora {

HttpRequest PrepareGetRequest(const HttpUrl& url) {
    std::string port_text = url.port;
    if (port_text.empty()) {
        if (EqualsIgnoringCase(url.protocol, "https")) throw IoHandlerInvalid();
        if (!EqualsIgnoringCase(url.protocol, "http")) throw UnknownProtocol();
        port_text = "80";
    } else if (EqualsIgnoringCase(url.protocol, "https")) {
        throw IoHandlerInvalid();
    }

    unsigned value = 0;
    const char* end = port_text.data() + port_text.size();
    const auto [stop, error] = std::from_chars(port_text.data(), end, value);
    if (error != std::errc() || stop != end || value > 65535) throw SocketError(EINVAL);

    HttpRequest request;
    request.host = url.host;
    request.port = static_cast<std::uint16_t>(value);
    // The Host value keeps the port as written, so "0080" is carried and "80" is not.
    request.host_header = port_text == "80" ? url.host : url.host + ":" + port_text;
    request.target = url.target;
    return request;
}

std::string GetRequestText(const HttpRequest& request) {
    return "GET " + request.target + " HTTP/1.1\r\n" + "Host: " + request.host_header + "\r\n" +
           "Accept: text/html, */*\r\n" + "Accept-Encoding: identity\r\n" +
           "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n" + "\r\n";
}

}  // namespace pixmora
