// The native file system behind the output-folder rules.
#include "engine/files/folder_ops.h"

#include <filesystem>
#include <system_error>

namespace pixmora {

FolderOps FolderOps::Native() {
    FolderOps ops;
    ops.is_directory = [](const std::string& path) {
        std::error_code ec;
        return !path.empty() && std::filesystem::is_directory(path, ec);
    };
    ops.create_folder = [](const std::string& path) {
        // A folder made meanwhile by another file of the run counts as made.
        std::error_code ec;
        std::filesystem::create_directory(path, ec);
        return !ec;
    };
    return ops;
}

}  // namespace pixmora
