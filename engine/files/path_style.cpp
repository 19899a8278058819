// String rules shared by the file entry, the output folder and the folder scans.
#include "engine/files/path_style.h"

namespace pixmora {

std::size_t LastDelimiter(std::string_view path, const PathStyle& style) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (style.IsDelimiter(path[i - 1])) return i - 1;
    }
    return std::string_view::npos;
}

std::string DirectoryPart(std::string_view path, const PathStyle& style) {
    const std::size_t last = LastDelimiter(path, style);
    if (last == std::string_view::npos) return {};
    return std::string(path.substr(0, last + 1));
}

std::string WithTrailingSeparator(std::string text, const PathStyle& style) {
    if (text.empty() || text.back() != style.separator) text += style.separator;
    return text;
}

std::string CollapseSeparators(std::string_view text, const PathStyle& style) {
    const bool network = style.network_prefix && text.size() >= 2 && text[0] == style.separator &&
                         text[1] == style.separator;
    std::string out;
    out.reserve(text.size() + 1);
    if (network) out += style.separator;
    for (char c : text) {
        if (c == style.separator && !out.empty() && out.back() == style.separator &&
            !(network && out.size() == 1)) {
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace pixmora
