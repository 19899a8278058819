// Names shown on a terminal with their control characters escaped, so that a name holding a
// newline or an escape sequence cannot split a message or drive the terminal.
#pragma once

#include <string>

namespace pixmora {

// text with "\n", "\t", "\r" for those characters, "\xHH" for the other control characters
// (below 0x20, and 0x7f) and "\\" for a backslash, as `ls -b` writes names.
std::string EscapeControlCharacters(const std::string& text);

}  // namespace pixmora
