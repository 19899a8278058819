// Integer values of the settings file, read the way the file's earlier writers expect.
#include "collect/profile_integer.h"

#include <charconv>

namespace pixmora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Hexadecimal digits only, up to FFFFFFFF, as a 32-bit pattern.
std::optional<uint32_t> ParseHexDigits(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    uint32_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

int32_t AsPattern(uint32_t value) { return static_cast<int32_t>(value); }

}  // namespace

std::optional<int32_t> ParseProfileInteger(std::string_view text) {
    if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto value = ParseHexDigits(text.substr(2));
        if (!value) return std::nullopt;
        return AsPattern(*value);
    }

    size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    std::string_view rest = text.substr(pos);

    size_t hex_prefix = 0;
    if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X'))
        hex_prefix = 1;
    else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'))
        hex_prefix = 2;
    if (hex_prefix != 0) {
        const auto value = ParseHexDigits(rest.substr(hex_prefix));
        if (!value) return std::nullopt;
        // Negation wraps like the 32-bit pattern it applies to.
        return AsPattern(negative ? 0u - *value : *value);
    }

    // from_chars takes no "+" and no blanks, which are already consumed above.
    if (rest.empty() || rest[0] < '0' || rest[0] > '9') return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), magnitude);
    if (error != std::errc() || end != rest.data() + rest.size()) return std::nullopt;
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (magnitude > limit) return std::nullopt;
    const int64_t value =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return static_cast<int32_t>(value);
}

int32_t ProfileIntegerOr(std::string_view text, int32_t fallback) {
    return ParseProfileInteger(text).value_or(fallback);
}

}  // namespace pixmora
