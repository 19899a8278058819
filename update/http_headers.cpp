// Header lookup.
#include "update/http_headers.h"

#include <cctype>

namespace pixmora {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string HttpHeaders::Value(std::string_view name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) continue;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (!EqualsIgnoringCase(TrimBlanks(line.substr(0, colon)), name)) continue;
        std::string value(TrimBlanks(line.substr(colon + 1)));
        for (std::size_t next = i + 1; next < lines_.size(); ++next) {
            const std::string_view more = lines_[next];
            if (more.empty() || (more.front() != ' ' && more.front() != '\t')) break;
            value += ' ';
            value += TrimBlanks(more);
        }
        return value;
    }
    return {};
}

}  // namespace pixmora
