// Integer and size texts of the measure labels.
#include "engine/text/number_text.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/text/user_locale.h"

namespace pixmora {

std::string FormatIntText(int64_t value) { return std::to_string(value); }

namespace {

constexpr int kSignificantDigits = 18;

// Adds one to the decimal digit string, carrying; returns true when a new leading digit
// was needed ("999" -> "1000").
bool IncrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i > 0; --i) {
        if (digits[i - 1] == '9') {
            digits[i - 1] = '0';
        } else {
            ++digits[i - 1];
            return false;
        }
    }
    digits.insert(digits.begin(), '1');
    return true;
}

}  // namespace

std::string FormatFloatText(double value, int width, int decimals,
                            const std::string& decimal_separator) {
    try {
        if (!std::isfinite(value) || decimals < 0 || decimals > 64 || width < 0) return {};
        const bool negative = std::signbit(value) && value != 0.0;
        // d.ddddddddddddddddde+XX: the 18 significant digits and the decimal exponent.
        char buffer[64];
        const int n =
            std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
        if (n <= 0 || n >= static_cast<int>(sizeof buffer)) return {};
        const std::string text(buffer, static_cast<std::size_t>(n));
        const std::size_t e = text.find('e');
        std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
        int exponent = std::stoi(text.substr(e + 1));
        if (value == 0.0) exponent = 0;

        // The number is 0.<digits> x 10^(exponent + 1); keep the digits before the cut.
        const int point = exponent + 1;  // digits before the decimal point
        const int keep = point + decimals;
        std::string kept;
        int kept_point = point;
        if (keep <= 0) {
            // Everything is cut; a half or more in the first cut digit rounds up to one unit
            // of the last decimal.
            kept.assign(static_cast<std::size_t>(decimals) + 1, '0');
            kept_point = 1;
            if (keep == 0 && digits[0] >= '5') IncrementDigits(kept);
        } else {
            if (static_cast<int>(digits.size()) <= keep) {
                kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
            } else {
                kept = digits.substr(0, static_cast<std::size_t>(keep));
                if (digits[static_cast<std::size_t>(keep)] >= '5' && IncrementDigits(kept)) {
                    ++kept_point;
                }
            }
        }
        std::string integer_part;
        std::string fraction_part;
        if (kept_point <= 0) {
            integer_part = "0";
            fraction_part = std::string(static_cast<std::size_t>(-kept_point), '0') + kept;
        } else {
            integer_part = kept.substr(0, static_cast<std::size_t>(kept_point));
            fraction_part = kept.substr(static_cast<std::size_t>(kept_point));
        }
        fraction_part.resize(static_cast<std::size_t>(decimals), '0');

        std::string out;
        const bool nonzero = integer_part.find_first_not_of('0') != std::string::npos ||
                             fraction_part.find_first_not_of('0') != std::string::npos;
        if (negative && nonzero) out += '-';
        out += integer_part;
        if (decimals > 0) out += decimal_separator + fraction_part;
        if (static_cast<int>(out.size()) < width) {
            out.insert(0, static_cast<std::size_t>(width) - out.size(), ' ');
        }
        return out;
    } catch (...) {
        return {};
    }
}

std::string FormatFloatText(double value, int width, int decimals) {
    return FormatFloatText(value, width, decimals, UserDecimalSeparator());
}

int64_t GetFileSizeBytes(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return 0;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > static_cast<std::uintmax_t>(INT64_MAX)) return 0;
    return static_cast<int64_t>(size);
}

std::string SizeText(const std::string& path) {
    return "Size : " + FormatFloatText(GetFileSizeBytes(path) / 1048576.0, 0, 3) + " Mo";
}

}  // namespace pixmora
