// The settings file shared by several copies of the program: every key written survives,
// and a killed writer leaves nothing behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "collect/ini_file.h"
#include "collect/settings_file.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::EntryNames;
using test::TempFolder;

// Two processes each write keys of their own into one file, at the same time.
TEST(SettingsFile, TwoProcessesWritingKeysKeepEveryKey) {
    const TempFolder folder(test::MemoryFileSystem());
    const std::string file = folder.Slash() + "datas.ini";
    constexpr int kKeys = 500;
    pid_t writers[2];
    for (int writer = 0; writer < 2; ++writer) {
        writers[writer] = fork();
        ASSERT_GE(writers[writer], 0);
        if (writers[writer] == 0) {
            const std::string prefix(1, static_cast<char>('a' + writer));
            for (int i = 0; i < kKeys; ++i)
                IniWriteInteger(file, "string", prefix + std::to_string(i), i);
            _exit(0);
        }
    }
    for (const pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto ini = IniFile::Load(file);
    ASSERT_TRUE(ini);
    int lost = 0;
    for (const char* prefix : {"a", "b"})
        for (int i = 0; i < kKeys; ++i)
            lost += ini->Value("string", prefix + std::to_string(i)) != std::to_string(i);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(EntryNames(folder.Path()), (std::set<std::string>{"datas.ini", "datas.ini.lock"}));
}

TEST(SettingsFile, AWriterKilledAnyTimeLeavesOnlyTheFile) {
    TempFolder folder;
    const std::string file = folder.Slash() + "datas.ini";
    for (int delay_us : {0, 700, 2000, 5000}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) IniWriteInteger(file, "integer", "ratio", i);
        }
        usleep(static_cast<useconds_t>(delay_us));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        IniWriteInteger(file, "integer", "folder", 1);
        EXPECT_EQ(IniReadInteger(file, "integer", "folder"), 1);
        EXPECT_EQ(EntryNames(folder.Path()),
                  (std::set<std::string>{"datas.ini", "datas.ini.lock"}));
    }
}

}  // namespace
}  // namespace pixmora
