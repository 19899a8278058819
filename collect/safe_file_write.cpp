// Whole-file read and crash-safe replacement over POSIX calls (open, fsync, rename).
#include "collect/safe_file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace pixmora {
namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return std::string();
    if (error || status.type() != fs::file_type::regular) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Opens a fresh file beside `target` (mode 0666 less the umask); returns its descriptor.
int CreateSibling(const std::string& target, std::string& sibling) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        sibling = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        const int fd = ::open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    std::error_code error;
    std::string target = path;
    if (fs::is_symlink(path, error)) {
        target = fs::weakly_canonical(path, error).string();
        if (error) return false;
    }

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & S_IWUSR) == 0)) return false;
    if (!exists && errno != ENOENT) return false;

    std::string sibling;
    const int fd = CreateSibling(target, sibling);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    if (ok && exists) ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = std::rename(sibling.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(sibling.c_str());
    return ok;
}

}  // namespace pixmora
