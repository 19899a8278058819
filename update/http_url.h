// Splitting a web address into the parts the HTTP client needs.
#pragma once

#include <string>
#include <string_view>

namespace pixmora {

struct HttpUrl {
    std::string protocol;  // text before "://", as written
    std::string user;
    std::string password;
    std::string host;    // as written
    std::string port;    // as written; empty when the address names none
    std::string target;  // from the "/" after the host, "/" when empty, no fragment
};

// Never fails: every string gives some parts; whether they can be used is decided when
// the request is prepared. "\" counts as "/"; no percent coding either way.
HttpUrl ParseHttpUrl(std::string_view address);

}  // namespace pixmora
