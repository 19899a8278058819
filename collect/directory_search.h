// The directory search the folder scans stand on: the entries of one folder that match a
// pattern, each with the attribute value the scans test, in the order a search returns them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixmora {

// Attribute bits of a search entry.
inline constexpr uint32_t kAttrReadOnly = 1;
inline constexpr uint32_t kAttrHidden = 2;
inline constexpr uint32_t kAttrDirectory = 16;
inline constexpr uint32_t kAttrArchive = 32;
inline constexpr uint32_t kAttrReparsePoint = 1024;

struct SearchEntry {
    std::string name;
    uint32_t attributes = 0;
};

// True when name matches pattern: "*.*" matches everything ("." and ".." included); "*.ext"
// matches names ending in ".ext" in any letter case, and "*.jpg" also matches ".jpeg" names.
bool MatchesSearchPattern(const std::string& name, const std::string& pattern);

// The attribute value of the entry `name` of `folder` (folder ends with its separator):
// 16 for a directory (a link counts as what it points to), +1 when the owner may not write
// it, +2 when its name starts with "." (not "." and ".."), +1024 for a symbolic link, 32
// for anything that is not a directory. Returns false when the entry cannot be examined.
bool ReadSearchAttributes(const std::string& folder, const std::string& name, uint32_t& attributes);

// The entries of `folder` (ending with its separator) that match pattern, sorted by name
// compared in upper case and then byte by byte. Empty when the folder cannot
// be read or nothing matches.
std::vector<SearchEntry> SearchFolder(const std::string& folder, const std::string& pattern);

}  // namespace pixmora
