// The settings file's lock over flock on a file of its own, which outlives every save (the
// settings file itself is replaced by each save, so a lock on it would not hold).
#include "collect/ini_file_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pixmora {

IniFileLock::IniFileLock(const std::string& file) {
    if (file.empty()) return;
    const std::string lock_file = file + ".lock";
    fd_ = open(lock_file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    // A lock file made by another user (root) may be read-only to this one: still lockable.
    if (fd_ < 0) fd_ = open(lock_file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        close(fd_);
        fd_ = -1;
        return;
    }
}

IniFileLock::~IniFileLock() {
    if (fd_ >= 0) close(fd_);
}

}  // namespace pixmora
