// Web address parsing for the HTTP client.
#include "update/http_url.h"

#include <algorithm>

namespace pixmora {

HttpUrl ParseHttpUrl(std::string_view address) {
    std::string text(address);
    std::replace(text.begin(), text.end(), '\\', '/');
    // A fragment is never sent and never part of the host.
    if (const auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);

    HttpUrl url;
    const auto scheme_end = text.find("://");
    if (scheme_end == std::string::npos) {
        // No protocol and no host: the whole text is a target that cannot be fetched.
        url.target = text.empty() ? "/" : text;
        return url;
    }
    url.protocol = text.substr(0, scheme_end);
    const auto authority_begin = scheme_end + 3;
    const auto slash = text.find('/', authority_begin);
    std::string authority = text.substr(
        authority_begin, slash == std::string::npos ? std::string::npos : slash - authority_begin);
    url.target = slash == std::string::npos ? "/" : text.substr(slash);

    if (const auto at = authority.find('@'); at != std::string::npos) {
        const std::string user_info = authority.substr(0, at);
        authority.erase(0, at + 1);
        const auto colon = user_info.find(':');
        url.user = user_info.substr(0, colon);
        if (colon != std::string::npos) url.password = user_info.substr(colon + 1);
    }
    const auto colon = authority.find(':');
    url.host = authority.substr(0, colon);
    if (colon != std::string::npos) url.port = authority.substr(colon + 1);
    return url;
}

}  // namespace pixmora
