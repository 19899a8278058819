// Reads a settings value as a 32-bit integer: decimal, or hexadecimal after "$", "x" or "0x".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pixmora {

// The integer held by `text`, or nothing when the whole text is not one number in range.
// "0x1F" (at least three characters) is hexadecimal; otherwise leading blanks, an optional
// sign, then decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X".
// Decimal numbers must fit a signed 32-bit value; hexadecimal ones go up to FFFFFFFF and
// are taken as a 32-bit pattern, so "$FFFFFFFF" is -1.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

// The same, with `fallback` for a text that is not a number.
int32_t ProfileIntegerOr(std::string_view text, int32_t fallback);

}  // namespace pixmora
