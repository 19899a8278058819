// Where the per-user data folder lies, and its creation.
#include "collect/data_folder.h"

#include <cstdlib>
#include <filesystem>

namespace pixmora {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string WithoutTrailingSlashes(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

DataFolderEnvironment DataFolderEnvironment::FromProcess() {
    return DataFolderEnvironment{Variable("XDG_DATA_HOME"), Variable("HOME")};
}

std::string DataDirFor(const DataFolderEnvironment& environment) {
    std::string base;
    if (IsAbsolute(environment.xdg_data_home))
        base = WithoutTrailingSlashes(environment.xdg_data_home);
    else if (IsAbsolute(environment.home))
        base = WithoutTrailingSlashes(environment.home) + "/.local/share";
    else
        return std::string();
    return base + "/_data_Pixmora/";
}

std::string SetUpDataDir(const DataFolderEnvironment& environment) {
    const std::string data_dir = DataDirFor(environment);
    if (!data_dir.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(data_dir, ignored);
    }
    return data_dir;
}

std::string SettingsFilePath(const std::string& data_dir) {
    return data_dir.empty() ? std::string() : data_dir + "datas.ini";
}

}  // namespace pixmora
