// The path conventions the name and folder rules are written over: Windows style for the
// rules as first conceived, POSIX style for the native paths of this build.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pixmora {

struct PathStyle {
    char separator;               // joins folder names: '\\' or '/'
    bool colon_delimits;          // "C:" ends a directory part (Windows drive letters)
    bool network_prefix;          // a leading pair of separators is kept ("\\server\share")
    std::size_t shortest_folder;  // shorter folder texts are roots, taken as present

    bool IsDelimiter(char c) const { return c == separator || (colon_delimits && c == ':'); }

    static constexpr PathStyle Windows() { return PathStyle{'\\', true, true, 3}; }
    static constexpr PathStyle Posix() { return PathStyle{'/', false, false, 1}; }
    static constexpr PathStyle Native() { return Posix(); }
};

// Position of the last delimiter of path, or npos when it holds none.
std::size_t LastDelimiter(std::string_view path, const PathStyle& style);

// The part of path up to and including its last delimiter; empty when it holds none.
std::string DirectoryPart(std::string_view path, const PathStyle& style);

// Appends the separator unless text already ends with it (an empty text becomes the root).
std::string WithTrailingSeparator(std::string text, const PathStyle& style);

// Shrinks every run of separators to one; a leading network pair survives when the style
// keeps one.
std::string CollapseSeparators(std::string_view text, const PathStyle& style);

}  // namespace pixmora
