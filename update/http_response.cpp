// Values derived from a response's status line and headers.
#include "update/http_response.h"

#include <charconv>

namespace pixmora {

namespace {

// A whole decimal number that fits 32 bits, with an optional sign.
bool ParseDecimal(std::string_view text, std::int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

}  // namespace

int ParseStatusCode(std::string_view status_line) {
    const auto first_space = status_line.find(' ');
    if (first_space == std::string_view::npos) return -1;
    std::string_view rest = TrimBlanks(status_line.substr(first_space + 1));
    rest = rest.substr(0, rest.find(' '));
    std::int32_t code = -1;
    return ParseDecimal(rest, code) ? code : -1;
}

std::int32_t HttpResponse::ContentLength() const {
    const std::string text = headers.Value("Content-Length");
    std::int32_t length = -1;
    return ParseDecimal(text, length) ? length : -1;
}

bool HttpResponse::IsChunked() const {
    return headers.Value("Transfer-Encoding").find("chunked") != std::string::npos;
}

bool HttpResponse::KeepAlive() const {
    return !EqualsIgnoringCase(headers.Value("Connection"), "close") &&
           !EqualsIgnoringCase(headers.Value("Proxy-Connection"), "close");
}

}  // namespace pixmora
