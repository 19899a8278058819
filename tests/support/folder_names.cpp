#include "support/folder_names.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace pixmora::test {

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(folder, ec))
        names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace pixmora::test
