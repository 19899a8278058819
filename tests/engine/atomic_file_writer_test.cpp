// Whole-or-nothing saves: complete files only, existing files kept on failure, read-only
// files left alone, nothing stray after a failure or an interruption.
#include "engine/atomic_file_writer.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/jpeg_errors.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::TempFolder;

std::set<std::string> Entries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void Write(const std::string& path, const std::string& bytes, TTemporaryKind kind) {
    WriteFileAtomically(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kind);
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
    EXPECT_EQ(Entries(folder.Path()), std::set<std::string>{"out.jpg"});
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
    EXPECT_EQ(Entries(folder.Path()), std::set<std::string>{"out.jpg"});
}

TEST_P(AtomicFileWriter, MissingFolderFails) {
    TempFolder folder;
    EXPECT_THROW(Write(folder.Slash() + "none/out.jpg", "x", GetParam()), EFCreateError);
    EXPECT_TRUE(Entries(folder.Path()).empty());
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
    EXPECT_EQ(Entries(folder.Path()), std::set<std::string>{"out.jpg"});
}

// A child saving over and over, ended by a signal whose handler leaves at once.
TEST_P(AtomicFileWriter, InterruptedProcessLeavesNoPartialOrTemporaryFile) {
    TempFolder folder;
    const std::string path = folder.Slash() + "out.jpg";
    const std::string big(2000000, 'b'), small(1000, 's');
    for (int delay_us : {0, 300, 1000, 2500, 7000}) {
        std::filesystem::remove(path);
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGINT, [](int) { _exit(0); });
            const char go = 1;
            if (write(ready[1], &go, 1) != 1) _exit(1);
            for (int i = 0;; ++i) Write(path, i % 2 ? big : small, GetParam());
        }
        char go = 0;
        ASSERT_EQ(read(ready[0], &go, 1), 1);
        close(ready[0]);
        close(ready[1]);
        usleep(static_cast<useconds_t>(delay_us));
        kill(child, SIGINT);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status)) << "child died by signal " << WTERMSIG(status);
        const std::set<std::string> entries = Entries(folder.Path());
        EXPECT_LE(entries.size(), 1u);
        if (!entries.empty()) {
            EXPECT_EQ(*entries.begin(), "out.jpg");
            const std::string content = ReadFile(path);
            EXPECT_TRUE(content == big || content == small) << content.size() << " bytes";
        }
    }
}

}  // namespace
}  // namespace pixmora
