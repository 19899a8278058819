// Linux side of the whole-or-nothing write: O_TMPFILE + linkat, with a hidden named
// temporary as fallback; SIGINT, SIGTERM, SIGHUP and SIGQUIT are held back while a named
// temporary exists, so that a handler ending the process cannot leave one behind.
#include "engine/atomic_file_writer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/jpeg_errors.h"

namespace pixmora {

namespace {

// Holds back the signals that end the process while alive.
class TSignalHold {
public:
    TSignalHold() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            sigaddset(&held, signal_number);
        pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~TSignalHold() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    TSignalHold(const TSignalHold&) = delete;
    TSignalHold& operator=(const TSignalHold&) = delete;

private:
    sigset_t previous_;
};

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now, reporting the failure a delayed write error shows up as.
    int Close() {
        const int result = close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string TemporaryName(const std::string& path) {
    // One generator per thread, so that files saved side by side never share its state.
    thread_local std::mt19937_64 generator{std::random_device{}()};
    const std::filesystem::path target(path);
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx.tmp",
                  static_cast<unsigned long long>(generator() & 0xffffffffffffULL));
    return (target.parent_path() / ("." + target.filename().string() + suffix)).string();
}

// 0, or the errno of the write that failed; a write that takes no byte counts as a full disk.
int WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return ENOSPC;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

// The owner write bit of an existing destination; 0 when it may be replaced.
int CheckReplaceable(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(status.st_mode)) return EISDIR;
    if (!(status.st_mode & S_IWUSR)) return EACCES;
    return 0;
}

// Gives the unnamed file fd the name path; false when the system cannot (then errno).
bool LinkUnnamed(int fd, const std::string& path) {
    const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

[[noreturn]] void Fail(const std::string& path, int error_number) {
    throw EFCreateError(path, error_number);
}

void WriteThroughNamedTemporary(const std::string& path, const uint8_t* data, size_t size) {
    TSignalHold hold;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = TemporaryName(path);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) Fail(path, errno);
    }
    if (fd < 0) Fail(path, EEXIST);
    TFileDescriptor file(fd);
    int error_number = WriteAll(file.Get(), data, size);
    const int close_error = file.Close();
    if (error_number == 0) error_number = close_error;
    if (error_number == 0 && rename(temporary.c_str(), path.c_str()) != 0) error_number = errno;
    if (error_number != 0) {
        unlink(temporary.c_str());
        Fail(path, error_number);
    }
}

}  // namespace

bool IsReadOnlyFile(const std::string& path) { return CheckReplaceable(path) == EACCES; }

void WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size,
                         TTemporaryKind kind) {
    if (const int refused = CheckReplaceable(path)) Fail(path, refused);
    if (kind == TTemporaryKind::Named) {
        WriteThroughNamedTemporary(path, data, size);
        return;
    }

    const int fd = open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0) {
        // File systems without unnamed files (and missing folders, reported the same way).
        if (errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == EROFS)
            Fail(path, errno);
        WriteThroughNamedTemporary(path, data, size);
        return;
    }
    TFileDescriptor file(fd);
    if (const int error_number = WriteAll(file.Get(), data, size)) Fail(path, error_number);

    // A new name appears in one step; an existing file is replaced through a hidden name
    // that lives only between linkat and rename, with the ending signals held back.
    if (LinkUnnamed(file.Get(), path)) return;
    if (errno != EEXIST) {
        // Without /proc an unnamed file cannot be given a name: write it again, named.
        WriteThroughNamedTemporary(path, data, size);
        return;
    }
    TSignalHold hold;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string temporary = TemporaryName(path);
        if (!LinkUnnamed(file.Get(), temporary)) {
            if (errno == EEXIST) continue;
            Fail(path, errno);
        }
        if (rename(temporary.c_str(), path.c_str()) != 0) {
            const int error_number = errno;
            unlink(temporary.c_str());
            Fail(path, error_number);
        }
        return;
    }
    Fail(path, EEXIST);
}

}  // namespace pixmora
