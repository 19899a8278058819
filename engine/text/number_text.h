// Number texts of the measure labels: plain integers, sizes in megabytes with the user's
// decimal separator, and file sizes.
#pragma once

#include <cstdint>
#include <string>

namespace pixmora {

// Plain decimal digits, leading "-" for negative values, no grouping.
std::string FormatIntText(int64_t value);

// Fixed notation with `decimals` decimals, right-aligned in at least `width` characters. The
// value is first reduced to 18 significant digits, then cut to the decimals rounding halves
// away from zero. Empty on failure.
std::string FormatFloatText(double value, int width, int decimals,
                            const std::string& decimal_separator);
// The same with the user's decimal separator.
std::string FormatFloatText(double value, int width, int decimals);

// The size of a file in bytes; 0 for a folder or when it cannot be had.
int64_t GetFileSizeBytes(const std::string& path);

// "Size : " + the size in megabytes with three decimals + " Mo".
std::string SizeText(const std::string& path);

}  // namespace pixmora
