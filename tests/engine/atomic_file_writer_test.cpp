// Whole-or-nothing saves: complete files only, existing files kept on failure, read-only
// files left alone, attributes of a replaced file kept, long names, symbolic links, nothing
// stray after a failure, an interruption or a killed writer.
#include "engine/files/atomic_file_writer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_errors.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::EntryNames;
using test::ReadFile;
using test::TempFolder;

void Write(const std::string& path, const std::string& bytes, TTemporaryKind kind,
           TLinkHandling link = TLinkHandling::Replace) {
    WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                        {kind, link});
}

struct stat Status(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(lstat(path.c_str(), &status), 0) << path;
    return status;
}

// The errno a write fails with, 0 when it succeeds.
int WriteError(const std::string& path, const std::string& bytes, TTemporaryKind kind) {
    try {
        Write(path, bytes, kind);
        return 0;
    } catch (const EFCreateError& error) {
        return error.ErrorNumber();
    }
}

// A child process running saves (which never end), once it has started; its id, or -1. A
// Ctrl-C ends the child at once with status 0, from the moment this returns.
pid_t StartSavingChild(const std::function<void()>& saves) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGINT, [](int) { _exit(0); });
        const char go = 1;
        if (write(ready[1], &go, 1) != 1) _exit(1);
        saves();
        _exit(0);
    }
    char go = 0;
    const bool started = child > 0 && read(ready[0], &go, 1) == 1;
    close(ready[0]);
    close(ready[1]);
    return started ? child : -1;
}

constexpr int kCannotSwitchUser = 77;

// Runs check in a child process that has become the user "nobody"; its exit status, or
// kCannotSwitchUser when the switch is impossible (not root, no such user).
int ExitStatusAsNobody(const std::function<int()>& check) {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody) return kCannotSwitchUser;
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
            _exit(kCannotSwitchUser);
        _exit(check());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class AtomicFileWriter : public testing::TestWithParam<TTemporaryKind> {};

INSTANTIATE_TEST_SUITE_P(BothTemporaryKinds, AtomicFileWriter,
                         testing::Values(TTemporaryKind::Unnamed, TTemporaryKind::Named));

TEST_P(AtomicFileWriter, CreatesAndReplacesWithCompleteFilesOnly) {
    TempFolder folder;
    const std::string path = folder.Slash() + "out.jpg";
    Write(path, "first", GetParam());
    EXPECT_EQ(ReadFile(path), "first");
    Write(path, std::string(300000, 'x'), GetParam());
    EXPECT_EQ(ReadFile(path), std::string(300000, 'x'));
    EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{"out.jpg"});
}

TEST_P(AtomicFileWriter, ReadOnlyFileIsNotReplaced) {
    TempFolder folder;
    const std::string path = folder.WriteFile("out.jpg", "kept");
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    try {
        Write(path, "new", GetParam());
        FAIL() << "replaced a read-only file";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Impossible de créer le fichier \"" + path + "\". " + std::strerror(EACCES));
    }
    EXPECT_EQ(ReadFile(path), "kept");
    EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{"out.jpg"});
}

TEST_P(AtomicFileWriter, MissingFolderFails) {
    TempFolder folder;
    EXPECT_THROW(Write(folder.Slash() + "none/out.jpg", "x", GetParam()), EFCreateError);
    EXPECT_TRUE(EntryNames(folder.Path()).empty());
}

TEST_P(AtomicFileWriter, ShortWriteFailsAndKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = folder.WriteFile("out.jpg", "old");
    // The file-size limit cuts writes short, as a full disk would.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    void (*previous_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limited);
    bool failed = false;
    try {
        Write(path, std::string(100000, 'n'), GetParam());
    } catch (const EFCreateError&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{"out.jpg"});
}

// A child saving over and over, ended by a signal whose handler leaves at once.
TEST_P(AtomicFileWriter, InterruptedProcessLeavesNoPartialOrTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.Slash() + "out.jpg";
    const std::string big(2000000, 'b'), small(1000, 's');
    for (int delay_us : {0, 300, 1000, 2500, 7000}) {
        std::filesystem::remove(path);
        const pid_t child = StartSavingChild([&] {
            for (int i = 0;; ++i) Write(path, i % 2 ? big : small, GetParam());
        });
        ASSERT_GT(child, 0);
        usleep(static_cast<useconds_t>(delay_us));
        kill(child, SIGINT);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "child died by signal " << WTERMSIG(status);
        const std::set<std::string> entries = EntryNames(folder.Path());
        EXPECT_LE(entries.size(), 1u);
        if (!entries.empty()) {
            EXPECT_EQ(*entries.begin(), "out.jpg");
            const std::string content = ReadFile(path);
            EXPECT_TRUE(content == big || content == small) << content.size() << " bytes";
        }
    }
}

TEST_P(AtomicFileWriter, ReplacingKeepsThePermissionBits) {
    TempFolder folder;
    const std::string path = folder.WriteFile("out.jpg", "old");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    Write(path, "new", GetParam());
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(Status(path).st_mode & 07777, 0604u);
}

// An output that is a link is replaced by the new file; the settings file's link stays and
// its target is rewritten, keeping the target's permission bits.
TEST_P(AtomicFileWriter, SymbolicLinksAreReplacedOrWrittenThrough) {
    TempFolder folder;
    const std::string target = folder.WriteFile("real/file", "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const std::string link = folder.Slash() + "link";

    std::filesystem::create_symlink(target, link);
    Write(link, "through", GetParam(), TLinkHandling::WriteThrough);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "through");
    EXPECT_EQ(Status(target).st_mode & 07777, 0640u);
    EXPECT_EQ(EntryNames(folder.Path() / "real"), std::set<std::string>{"file"});
    // A link whose file is missing, through a relative link: the file is created.
    std::filesystem::create_symlink("link", folder.Path() / "chain");
    std::filesystem::remove(target);
    Write(folder.Slash() + "chain", "created", GetParam(), TLinkHandling::WriteThrough);
    EXPECT_EQ(ReadFile(target), "created");
    std::filesystem::remove(folder.Path() / "chain");

    Write(link, "replaced", GetParam(), TLinkHandling::Replace);
    EXPECT_TRUE(S_ISREG(Status(link).st_mode));
    EXPECT_EQ(ReadFile(link), "replaced");
    EXPECT_EQ(ReadFile(target), "created");
    EXPECT_EQ(EntryNames(folder.Path()), (std::set<std::string>{"link", "real"}));
}

// The temporary's name must fit the folder's 255-byte limit even when the name is that long.
TEST_P(AtomicFileWriter, NamesUpToTheLimitAreCreatedAndReplaced) {
    std::string accented;
    for (int i = 0; i < 125; ++i) accented += "\xC3\xA9";  // é, two bytes
    for (const std::string& name :
         {std::string(234, 'a') + ".jpg", std::string(251, 'b') + ".jpg", accented + "x.jpg"}) {
        TempFolder folder;
        const std::string path = folder.Slash() + name;
        Write(path, "first", GetParam());
        Write(path, "second", GetParam());
        EXPECT_EQ(ReadFile(path), "second") << name.size() << " bytes";
        EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{name})
            << name.size() << " bytes";
    }
}

// A writer killed (SIGKILL, which cannot be held back) while its temporary has a name
// leaves it behind; the next write of the same file removes it.
TEST_P(AtomicFileWriter, TheNextWriteRemovesWhatAKilledWriterLeft) {
    TempFolder folder;
    const std::string path = folder.Slash() + "out.jpg";
    const std::string big(2000000, 'b');
    int left_behind = 0;
    for (int delay_us : {0, 500, 1500, 4000, 9000}) {
        const pid_t child = StartSavingChild([&] {
            for (;;) Write(path, big, TTemporaryKind::Named);
        });
        ASSERT_GT(child, 0);
        usleep(static_cast<useconds_t>(delay_us));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        if (EntryNames(folder.Path()).size() > (std::filesystem::exists(path) ? 1u : 0u))
            ++left_behind;
        Write(path, "after", GetParam());
        EXPECT_EQ(ReadFile(path), "after");
        EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{"out.jpg"});
    }
    EXPECT_GT(left_behind, 0) << "no kill hit a named temporary: the test proved nothing";
}

// Writers of one file in parallel (threads here, processes alike) wait for each other's
// temporary instead of taking it away.
TEST_P(AtomicFileWriter, ParallelWritersOfOneFileEachWriteWhole) {
    TempFolder folder;
    const std::string path = folder.Slash() + "out.jpg";
    const std::string first(300000, '1'), second(200000, '2');
    int failed[2] = {0, 0};
    const auto writer = [&](const std::string& bytes, int& failures) {
        for (int i = 0; i < 25; ++i) failures += WriteError(path, bytes, GetParam()) != 0;
    };
    std::thread one(writer, std::cref(first), std::ref(failed[0]));
    std::thread two(writer, std::cref(second), std::ref(failed[1]));
    one.join();
    two.join();
    EXPECT_EQ(failed[0] + failed[1], 0);
    const std::string content = ReadFile(path);
    EXPECT_TRUE(content == first || content == second) << content.size() << " bytes";
    EXPECT_EQ(EntryNames(folder.Path()), std::set<std::string>{"out.jpg"});
}

// Another user's 0644 file in a folder everybody may write: the owner bit is set, yet this
// user may not write the file, so it is not replaced.
TEST_P(AtomicFileWriter, AFileThisUserMayNotWriteIsNotReplaced) {
    TempFolder folder;
    ASSERT_EQ(chmod(folder.Path().c_str(), 0777), 0);
    const std::string path = folder.WriteFile("root.jpg", "kept");
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    const std::string own = folder.Slash() + "own.jpg";
    const TTemporaryKind kind = GetParam();
    const int status = ExitStatusAsNobody([&] {
        if (!IsReadOnlyFile(path)) return 1;
        if (WriteError(path, "new", kind) != EACCES) return 2;
        if (WriteError(own, "mine", kind) != 0 || IsReadOnlyFile(own)) return 3;
        return 0;
    });
    if (status == kCannotSwitchUser) GTEST_SKIP() << "needs root and the user nobody";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(path), "kept");
    EXPECT_EQ(ReadFile(own), "mine");
    // Root may write anything, but a clear owner bit still means read-only to it.
    EXPECT_FALSE(IsReadOnlyFile(path));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(IsReadOnlyFile(path));
    EXPECT_FALSE(IsReadOnlyFile(folder.Slash() + "none.jpg"));
}

// Root saving a user's file: the file stays the user's, with its group and mode.
TEST_P(AtomicFileWriter, ASaveByRootKeepsTheOwnerAndGroup) {
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || !nobody) GTEST_SKIP() << "needs root and the user nobody";
    TempFolder folder;
    const std::string path = folder.WriteFile("out.jpg", "old");
    ASSERT_EQ(chown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    Write(path, "new", GetParam());
    const struct stat status = Status(path);
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_EQ(status.st_uid, nobody->pw_uid);
    EXPECT_EQ(status.st_gid, nobody->pw_gid);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace pixmora
