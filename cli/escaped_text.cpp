// Backslash escapes for control characters.
#include "cli/escaped_text.h"

#include <cstdio>

namespace pixmora {

std::string EscapeControlCharacters(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            escaped += "\\\\";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (c == '\r') {
            escaped += "\\r";
        } else if (byte < 0x20 || byte == 0x7f) {
            char code[5];
            std::snprintf(code, sizeof code, "\\x%02x", byte);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace pixmora
