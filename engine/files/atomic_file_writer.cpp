// Linux side of the whole-or-nothing write: O_TMPFILE + linkat, with a hidden named
// temporary as fallback. SIGINT, SIGTERM, SIGHUP and SIGQUIT are held back while a hidden
// name is made, renamed or removed, so that a handler ending the process cannot leave one
// behind half made (a pending file waiting under a hidden name is one a killed writer
// left: the next writer of that destination removes it); a writer
// holds an flock on its temporary until the rename, so that the next writer of the same
// destination can tell a temporary left by SIGKILL (unlocked) from one in use.
#include "engine/files/atomic_file_writer.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/files/file_descriptor.h"

namespace pixmora {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTemporarySuffix = ".pixmora-tmp";
// Each failed attempt waits for a live writer of the same file, which may take the name
// again first; a few dozen turns make losing every one of them practically impossible.
constexpr int kClaimAttempts = 64;

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

// A hidden name given to the new file, removed again unless the rename has taken it.
class THiddenName {
public:
    THiddenName() = default;
    ~THiddenName() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    THiddenName(const THiddenName&) = delete;
    THiddenName& operator=(const THiddenName&) = delete;
    void Hold(const std::string& path) { path_ = path; }
    void Release() { path_.clear(); }

private:
    std::string path_;
};

[[noreturn]] void Fail(const std::string& path, int error_number) {
    throw EFCreateError(path, error_number);
}

std::string FolderOf(const std::string& path) {
    const std::string folder = fs::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

uint64_t NameHash(std::string_view name) {
    uint64_t hash = 14695981039346656037ULL;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    return hash;
}

// The one hidden name a destination's bytes wait under: "." + name + suffix. When that would
// pass the folder's name limit, the name is cut (between two UTF-8 characters) and followed
// by a hash of the whole name. Being fixed, it lets the next writer of the destination find
// a temporary that a killed writer left.
std::string TemporaryName(const std::string& folder, const std::string& name) {
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    const size_t name_max = limit > 0 ? static_cast<size_t>(limit) : 255;
    std::string kept = name;
    if (1 + name.size() + kTemporarySuffix.size() > name_max) {
        char hash[20];
        std::snprintf(hash, sizeof hash, "~%016llx",
                      static_cast<unsigned long long>(NameHash(name)));
        const size_t fixed = 1 + std::string_view(hash).size() + kTemporarySuffix.size();
        size_t cut = name_max > fixed ? name_max - fixed : 0;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
        kept = name.substr(0, cut) + hash;
    }
    return (fs::path(folder) / ("." + kept + std::string(kTemporarySuffix))).string();
}

// The file a chain of symbolic links leads to, whether it exists or not; path itself when
// it is no link.
std::string LinkTarget(const std::string& path) {
    constexpr int kMaxLinks = 40;  // as many as the system follows
    fs::path target = path;
    std::error_code error;
    for (int links = 0; fs::is_symlink(target, error); ++links) {
        if (links == kMaxLinks) Fail(path, ELOOP);
        const fs::path next = fs::read_symlink(target, error);
        if (error) Fail(path, error.value());
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target.string();
}

// 0, or why an existing file of this status at path is not replaced.
int ReadOnlyReason(const std::string& path, const struct stat& status) {
    if (!(status.st_mode & S_IWUSR)) return EACCES;
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT) return 0;
    return errno == EROFS ? EROFS : EACCES;
}

// What is at path, of this status (links followed), that is never replaced; the errno of
// the refusal in error_number.
TDestinationRefusal RefusalOf(const std::string& path, const struct stat& status,
                              int& error_number) {
    error_number = 0;
    if (S_ISDIR(status.st_mode)) {
        error_number = EISDIR;
        return TDestinationRefusal::Folder;
    }
    error_number = ReadOnlyReason(path, status);
    return error_number != 0 ? TDestinationRefusal::ReadOnly : TDestinationRefusal::None;
}

// Whether the destination exists as a regular file whose attributes the new file takes
// (in existing); throws when it may not be replaced. A symbolic link is judged by what it
// leads to, but a new file replacing it starts with attributes of its own.
bool ExistingFile(const std::string& path, const std::string& target, struct stat& existing) {
    if (lstat(target.c_str(), &existing) != 0) {
        if (errno == ENOENT) return false;
        Fail(path, errno);
    }
    struct stat followed = existing;
    if (S_ISLNK(existing.st_mode) && stat(target.c_str(), &followed) != 0) {
        if (errno == ENOENT) return false;
        Fail(path, errno);
    }
    int refused = 0;
    if (RefusalOf(target, followed, refused) != TDestinationRefusal::None) Fail(path, refused);
    return S_ISREG(existing.st_mode);
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

// Gives the new file the replaced file's owner and group where permitted (root may, and a
// member of the group may keep the group), then its permission bits; in that order, since a
// change of owner clears the set-id bits.
int KeepAttributes(int fd, const struct stat& existing) {
    const bool owner_kept = fchown(fd, existing.st_uid, existing.st_gid) == 0 ||
                            fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0;
    static_cast<void>(owner_kept);  // otherwise the file is this user's, as a new one would be
    return fchmod(fd, existing.st_mode & 07777) == 0 ? 0 : errno;
}

// Whether the exclusive flock on fd is held (flags: LOCK_NB not to wait for it).
bool LockExclusive(int fd, int flags = 0) {
    while (flock(fd, LOCK_EX | flags) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool SameFile(int fd, const std::string& path) {
    struct stat open_file, named;
    return fstat(fd, &open_file) == 0 && lstat(path.c_str(), &named) == 0 &&
           open_file.st_dev == named.st_dev && open_file.st_ino == named.st_ino;
}

// Removes the file under a hidden name once no writer holds it: a live writer keeps its
// temporary locked until the rename, so its lock is waited for (or, with LOCK_NB, the file
// is left to it); a killed one held none.
void RemoveIfAbandoned(const std::string& temporary, int lock_flags = 0) {
    int fd = open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        fd = open(temporary.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    TFileDescriptor file(fd);
    struct stat status;
    if (!LockExclusive(file.Get(), lock_flags) || fstat(file.Get(), &status) != 0) return;
    if (S_ISREG(status.st_mode) && SameFile(file.Get(), temporary)) unlink(temporary.c_str());
}

// Puts a file locked by this writer under the hidden name: place() creates it or names the
// unnamed one, and fails with EEXIST while another file has the name. Returns 0 or errno.
template <typename Place>
int ClaimHiddenName(const std::string& temporary, Place place) {
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        const int error_number = place();
        if (error_number != EEXIST) return error_number;
        RemoveIfAbandoned(temporary);
    }
    return EEXIST;
}

// Gives the unnamed file fd the name path; 0 or the errno (ENOENT without /proc).
int LinkUnnamed(int fd, const std::string& path) {
    const std::string proc_path = "/proc/self/fd/" + std::to_string(fd);
    return linkat(AT_FDCWD, proc_path.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0
               ? 0
               : errno;
}

// Reads the whole of the file open as fd into bytes; 0 or errno.
int ReadBack(int fd, std::vector<uint8_t>& bytes) {
    struct stat status;
    if (fstat(fd, &status) != 0) return errno;
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t read =
            pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (read < 0 && errno == EINTR) continue;
        if (read <= 0) return read < 0 ? errno : EIO;
        done += static_cast<size_t>(read);
    }
    return 0;
}

// Creates the hidden temporary, locked, into file; 0 or errno (EEXIST while it is taken).
int CreateNamed(const std::string& temporary, TFileDescriptor& file) {
    file.Reset(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) return errno;
    // A writer clearing abandoned temporaries may have taken this one before it was locked.
    // Where the file system has no locks, nothing is ever taken for abandoned.
    LockExclusive(file.Get());
    if (SameFile(file.Get(), temporary)) return 0;
    file.Reset(-1);
    return EEXIST;
}

}  // namespace

TDestinationRefusal DestinationRefusal(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return TDestinationRefusal::None;
    int error_number = 0;
    return RefusalOf(path, status, error_number);
}

bool IsReadOnlyFile(const std::string& path) {
    return DestinationRefusal(path) == TDestinationRefusal::ReadOnly;
}

TPendingFile::TPendingFile(TPendingFile&& other) noexcept { *this = std::move(other); }

TPendingFile& TPendingFile::operator=(TPendingFile&& other) noexcept {
    if (this != &other) {
        Discard();
        path_ = std::move(other.path_);
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        link_ = other.link_;
        fd_ = std::exchange(other.fd_, -1);
        named_ = std::exchange(other.named_, false);
    }
    return *this;
}

TPendingFile::~TPendingFile() { Discard(); }

void TPendingFile::Discard() {
    if (fd_ < 0) return;
    if (named_) {
        const TSignalHold hold;
        unlink(temporary_.c_str());
    }
    close(fd_);
    fd_ = -1;
    named_ = false;
}

TPendingFile WriteFilePending(const std::string& path, const uint8_t* data, size_t size,
                              TWriteOptions options) {
    TPendingFile pending;
    pending.path_ = path;
    pending.link_ = options.link;
    pending.target_ = options.link == TLinkHandling::WriteThrough ? LinkTarget(path) : path;
    const std::string& target = pending.target_;
    struct stat existing;
    const bool replaces = ExistingFile(path, target, existing);
    const std::string folder = FolderOf(target);
    pending.temporary_ = TemporaryName(folder, fs::path(target).filename().string());
    const std::string& temporary = pending.temporary_;

    // Destroyed in reverse: on a failure the hidden name goes and the file closes, then the
    // signals come.
    std::optional<TSignalHold> hold;
    TFileDescriptor file;
    THiddenName hidden;
    bool named = options.temporary == TTemporaryKind::Named;
    if (!named) {
        // Readable too: without /proc the bytes are read back to be written under a name.
        file.Reset(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
        // File systems without unnamed files fall back; missing folders fail the same way.
        if (file.Get() < 0) {
            if (errno == ENOENT || errno == ENOTDIR || errno == EACCES || errno == EROFS)
                Fail(path, errno);
            named = true;
        }
    }
    if (named) {
        hold.emplace();
        if (const int error_number =
                ClaimHiddenName(temporary, [&] { return CreateNamed(temporary, file); }))
            Fail(path, error_number);
        hidden.Hold(temporary);
    }

    int error_number = WriteAll(file.Get(), data, size);
    if (error_number == 0 && replaces) error_number = KeepAttributes(file.Get(), existing);
    if (error_number == 0 && fsync(file.Get()) != 0) error_number = errno;
    if (error_number != 0) Fail(path, error_number);

    hidden.Release();
    pending.fd_ = file.Release();
    pending.named_ = named;
    return pending;
}

void TPendingFile::Commit() {
    if (fd_ < 0) return;
    TFileDescriptor file(std::exchange(fd_, -1));
    const bool named = std::exchange(named_, false);
    const TSignalHold hold;
    THiddenName hidden;
    if (named) {
        hidden.Hold(temporary_);
    } else {
        // A new name appears in one step; an existing file is replaced through the hidden
        // name, which lives only between linkat and rename.
        LockExclusive(file.Get());
        int error_number = LinkUnnamed(file.Get(), target_);
        if (error_number == 0) {
            // A new file never needs the hidden name; clear what a killed writer left there.
            RemoveIfAbandoned(temporary_, LOCK_NB);
            return;
        }
        if (error_number != EEXIST) {
            // Without /proc an unnamed file cannot be given a name: write it again, named.
            std::vector<uint8_t> bytes;
            error_number = ReadBack(file.Get(), bytes);
            if (error_number != 0) Fail(path_, error_number);
            WriteFilePending(path_, bytes.data(), bytes.size(), {TTemporaryKind::Named, link_})
                .Commit();
            return;
        }
        if (const int claim_error =
                ClaimHiddenName(temporary_, [&] { return LinkUnnamed(file.Get(), temporary_); }))
            Fail(path_, claim_error);
        hidden.Hold(temporary_);
    }
    if (rename(temporary_.c_str(), target_.c_str()) != 0) Fail(path_, errno);
    hidden.Release();
}

void WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size,
                         TWriteOptions options) {
    // A hidden name may exist from the write to the rename: no signal comes in between.
    const TSignalHold hold;
    WriteFilePending(path, data, size, options).Commit();
}

}  // namespace pixmora
