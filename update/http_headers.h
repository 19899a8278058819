// The header lines of a response in arrival order, with lookup by name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pixmora {

class HttpHeaders {
public:
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Value of the first line whose name (text before its first ":") equals `name` in any
    // letter case, trimmed, with continuation lines (starting with a space or a tab)
    // trimmed and joined by one space. Empty when no line has the name.
    std::string Value(std::string_view name) const;

private:
    std::vector<std::string> lines_;
};

// Removes spaces and control characters at both ends.
std::string_view TrimBlanks(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace pixmora
