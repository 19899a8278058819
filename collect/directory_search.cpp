// Directory search over POSIX calls: readdir for the names, lstat/stat for the attributes.
#include "collect/directory_search.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

namespace pixmora {

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Names compare in upper case, as the original file system orders them ("_" after letters).
unsigned char Upper(char c) {
    return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
}

bool EndsWithNoCase(const std::string& name, const std::string& suffix) {
    if (name.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(),
                      [](char a, char b) { return Lower(a) == Lower(b); });
}

bool LessNoCaseThenBytes(const SearchEntry& a, const SearchEntry& b) {
    const auto& x = a.name;
    const auto& y = b.name;
    const bool less = std::lexicographical_compare(
        x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) { return Upper(p) < Upper(q); });
    if (less) return true;
    const bool greater = std::lexicographical_compare(
        y.begin(), y.end(), x.begin(), x.end(), [](char p, char q) { return Upper(p) < Upper(q); });
    if (greater) return false;
    return x < y;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

bool MatchesSearchPattern(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*") return true;
    if (pattern.size() < 2 || pattern.compare(0, 2, "*.") != 0) return name == pattern;
    const std::string extension = pattern.substr(1);  // ".jpg"
    if (name == "." || name == "..") return false;
    if (EndsWithNoCase(name, extension)) return true;
    // JPEG files go by both extensions; a search for one finds the other as well.
    return EndsWithNoCase(extension, ".jpg") && extension.size() == 4 &&
           EndsWithNoCase(name, ".jpeg");
}

bool ReadSearchAttributes(const std::string& folder, const std::string& name,
                          uint32_t& attributes) {
    const std::string path = folder + name;
    struct stat link_info {};
    if (lstat(path.c_str(), &link_info) != 0) return false;
    struct stat info = link_info;
    uint32_t value = 0;
    if (S_ISLNK(link_info.st_mode)) {
        value |= kAttrReparsePoint;
        // A dangling link keeps the link's own mode: a file-like entry.
        struct stat target {};
        if (stat(path.c_str(), &target) == 0) info = target;
    }
    if (S_ISDIR(info.st_mode)) {
        value |= kAttrDirectory;
    } else {
        value |= kAttrArchive;
    }
    if ((info.st_mode & S_IWUSR) == 0) value |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") value |= kAttrHidden;
    attributes = value;
    return true;
}

std::vector<SearchEntry> SearchFolder(const std::string& folder, const std::string& pattern) {
    std::vector<SearchEntry> entries;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) return entries;
    while (const dirent* item = readdir(dir.get())) {
        std::string name = item->d_name;
        if (!MatchesSearchPattern(name, pattern)) continue;
        SearchEntry entry;
        entry.name = std::move(name);
        if (!ReadSearchAttributes(folder, entry.name, entry.attributes)) continue;
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), LessNoCaseThenBytes);
    return entries;
}

}  // namespace pixmora
