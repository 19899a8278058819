#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace pixmora::test {

TempFolder::TempFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "pixmora-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    // Tests may leave read-only entries behind; give the owner write access back first.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::WriteFile(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
    return full.string();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::set<std::string> EntryNames(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::filesystem::path MemoryFileSystem() {
    const std::filesystem::path shared_memory = "/dev/shm";
    if (access(shared_memory.c_str(), W_OK | X_OK) == 0) return shared_memory;
    return std::filesystem::temp_directory_path();
}

}  // namespace pixmora::test
