// pixmora-batch run as a separate process over temporary folders.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs the program with args; on_err_line sees every line of its error stream as it comes
// and may act on the running process (its id is passed).
Outcome RunBatchProgram(const std::vector<std::string>& args,
                        const std::function<void(const std::string&, pid_t)>& on_err_line = {}) {
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_pipe[1], STDOUT_FILENO);
        dup2(err_pipe[1], STDERR_FILENO);
        close(out_pipe[0]), close(out_pipe[1]), close(err_pipe[0]), close(err_pipe[1]);
        std::vector<char*> argv;
        std::string program = PIXMORA_BATCH_BINARY;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    Outcome outcome;
    std::string pending;
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int open_count = 2;
    while (open_count > 0) {
        if (poll(fds, 2, 10000) <= 0) break;
        for (int k = 0; k < 2; ++k) {
            if (fds[k].fd < 0 || fds[k].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = read(fds[k].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[k].fd);
                fds[k].fd = -1;
                --open_count;
                continue;
            }
            if (k == 0) {
                outcome.out.append(buffer, static_cast<std::size_t>(n));
                continue;
            }
            outcome.err.append(buffer, static_cast<std::size_t>(n));
            pending.append(buffer, static_cast<std::size_t>(n));
            for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
                if (on_err_line) on_err_line(pending.substr(0, nl), pid);
                pending.erase(0, nl + 1);
            }
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

class BatchCommandTest : public ::testing::Test {
protected:
    std::string Jpeg(const std::string& relative, int width, int height) {
        test::JpegOptions options;
        options.width = width;
        options.height = height;
        return temp_.WriteFile(relative, test::MakeJpeg(options));
    }
    std::string Root() const { return temp_.Path().string(); }
    static std::pair<int, int> SizeOf(const std::string& path) {
        TJPEGImage image;
        image.LoadFromFile(path);
        return {image.Width(), image.Height()};
    }
    static std::vector<std::string> NamesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder)) {
            names.push_back(item.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempFolder temp_;
};

TEST_F(BatchCommandTest, WritesEveryFileIntoTheSubFolderAndExitsZero) {
    Jpeg("Trip/a.jpg", 80, 60);
    Jpeg("Trip/Day2/b.JPG", 40, 20);
    const std::string loose = Jpeg("loose/c.jpeg", 30, 30);
    const Outcome run = RunBatchProgram({"--ratio", "50", Root() + "/Trip", loose});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SizeOf(Root() + "/Trip/Trip/a.jpg"), std::make_pair(40, 30));
    EXPECT_EQ(SizeOf(Root() + "/Trip/Day2/Day2/b.JPG"), std::make_pair(20, 10));
    EXPECT_EQ(SizeOf(Root() + "/loose/loose/c.jpeg"), std::make_pair(15, 15));
    // Not a terminal: one line per update.
    EXPECT_EQ(run.err, "processing 0 / 3\nprocessing 1 / 3\nprocessing 2 / 3\nprocessing 3 / 3\n");
}

TEST_F(BatchCommandTest, FixedFolderAndRelativePaths) {
    Jpeg("Trip/a.jpg", 40, 40);
    fs::create_directory(Root() + "/Out");
    const fs::path before = fs::current_path();
    fs::current_path(temp_.Path());
    const Outcome run = RunBatchProgram({"--fixed-folder=Out", "--ratio=25", "./Trip/"});
    fs::current_path(before);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SizeOf(Root() + "/Out/Trip/a.jpg"), std::make_pair(10, 10));
}

TEST_F(BatchCommandTest, AFailingFileEndsTheRunWithStatusOne) {
    Jpeg("T/a.jpg", 16, 16);
    const std::string text = temp_.WriteFile("T/b.jpg", "not a picture");
    Jpeg("T/c.jpg", 16, 16);
    const Outcome run = RunBatchProgram({Root() + "/T"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("JPEG File error : " + text + "\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(Root() + "/T/T/a.jpg"));
    EXPECT_FALSE(fs::exists(Root() + "/T/T/c.jpg"));

    // A path that does not exist is reported; the others are still processed.
    const Outcome missing = RunBatchProgram({Root() + "/nowhere", Root() + "/T/a.jpg"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos);
}

TEST_F(BatchCommandTest, UsageErrorsHelpAndVersion) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"--ratio"},
        {"--ratio", "abc", "x"},
        {"--ratio", "0", "x"},
        {"--ratio", "-50", "x"},
        {"--bogus", "x"},
        {"--fixed-folder", Root() + "/missing", Root()},
    };
    for (const auto& args : wrong) {
        const Outcome run = RunBatchProgram(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: pixmora-batch"), std::string::npos);
        EXPECT_TRUE(run.out.empty());
    }
    const Outcome help = RunBatchProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: pixmora-batch", 0), 0u);
    const Outcome version = RunBatchProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Pixmora V2.0\n");
}

TEST_F(BatchCommandTest, CtrlCStopsAfterTheFileInProgress) {
    constexpr int kCount = 40;
    for (int i = 0; i < kCount; ++i) {
        Jpeg("Many/f" + std::to_string(100 + i) + ".jpg", 480, 360);
    }
    bool sent = false;
    const Outcome run =
        RunBatchProgram({Root() + "/Many"}, [&](const std::string& line, pid_t pid) {
            if (!sent && line == "processing 1 / " + std::to_string(kCount)) {
                kill(pid, SIGINT);
                sent = true;
            }
        });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("stopping after the file in progress"), std::string::npos);

    // The last progress line tells how many were done; exactly those were written, whole.
    const std::size_t at = run.err.rfind("processing ");
    ASSERT_NE(at, std::string::npos);
    const int done = std::stoi(run.err.substr(at + 11));
    EXPECT_GE(done, 1);
    EXPECT_LT(done, kCount);
    const std::vector<std::string> written = NamesIn(Root() + "/Many/Many");
    ASSERT_EQ(written.size(), static_cast<std::size_t>(done));  // no stray or partial file
    for (const std::string& name : written) {
        EXPECT_EQ(SizeOf(Root() + "/Many/Many/" + name), std::make_pair(240, 180)) << name;
    }
}

TEST_F(BatchCommandTest, ASecondCtrlCQuitsAtOnceLeavingOnlyWholeFiles) {
    // Large enough that the first file is still in progress when the second press comes.
    constexpr int kCount = 3;
    for (int i = 0; i < kCount; ++i) {
        Jpeg("Big/f" + std::to_string(i) + ".jpg", 2400, 1800);
    }
    bool sent = false;
    const Outcome run = RunBatchProgram({Root() + "/Big"}, [&](const std::string& line, pid_t pid) {
        if (line == "processing 0 / " + std::to_string(kCount)) kill(pid, SIGINT);
        // The first press has been taken; the second comes while the first file is resized.
        if (!sent && line.find("stopping after the file in progress") != std::string::npos) {
            kill(pid, SIGINT);
            sent = true;
        }
    });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, 130);
    if (fs::exists(Root() + "/Big/Big")) {
        for (const std::string& name : NamesIn(Root() + "/Big/Big")) {
            EXPECT_EQ(SizeOf(Root() + "/Big/Big/" + name), std::make_pair(1200, 900)) << name;
        }
    }
}

}  // namespace
}  // namespace pixmora
