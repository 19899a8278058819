// A fresh folder under the system's temporary folder, removed with everything in it when
// the test ends.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace pixmora::test {

class TempFolder {
public:
    // A folder under parent (default: the system's temporary folder).
    explicit TempFolder(
        const std::filesystem::path& parent = std::filesystem::temp_directory_path());
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder's path with a trailing "/", ready for names to be appended.
    std::string Slash() const { return path_.string() + "/"; }
    // Writes a file below the folder (parents created) and returns its full path.
    std::string WriteFile(const std::string& relative, const std::string& bytes) const;

private:
    std::filesystem::path path_;
};

std::string ReadFile(const std::string& path);

// The names of the entries of a folder.
std::set<std::string> EntryNames(const std::filesystem::path& folder);

// A folder on a memory file system where there is one (else the temporary folder), for
// tests of many small saves: there the flush to disk that each save waits for costs nothing.
std::filesystem::path MemoryFileSystem();

}  // namespace pixmora::test
