// The two file-system questions the output-folder rules ask, behind a value so that the
// rules can be driven over any path style.
#pragma once

#include <functional>
#include <string>

namespace pixmora {

struct FolderOps {
    std::function<bool(const std::string&)> is_directory;  // names an existing directory
    std::function<bool(const std::string&)>
        create_folder;  // makes one folder; true when it is there afterwards

    // The native file system (links followed).
    static FolderOps Native();
};

}  // namespace pixmora
