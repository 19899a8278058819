// pixmora-batch run as a separate process over temporary folders.
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_compress_object.h"
#include "engine/codec/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "support/jpeg_markers.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;
using test::EntryNames;

struct Outcome {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs the program with args and input on its standard input; on_err_line sees every line
// of its error stream as it comes and may act on the running process (its id is passed).
Outcome RunBatchProgram(const std::vector<std::string>& args,
                        const std::function<void(const std::string&, pid_t)>& on_err_line = {},
                        const std::string& input = {}) {
    int in_pipe[2];
    int out_pipe[2];
    int err_pipe[2];
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        // SIGQUIT ends the program with a core dump, of no use here.
        const rlimit no_core{0, 0};
        setrlimit(RLIMIT_CORE, &no_core);
        dup2(in_pipe[0], STDIN_FILENO);
        dup2(out_pipe[1], STDOUT_FILENO);
        dup2(err_pipe[1], STDERR_FILENO);
        close(in_pipe[0]), close(in_pipe[1]);
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
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    // Small inputs fit the pipe whole.
    if (write(in_pipe[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        ADD_FAILURE() << "input not written";
    close(in_pipe[1]);
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
    const Outcome run = RunBatchProgram({"--jobs", "1", Root() + "/T"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(text + ": not a JPEG file\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(Root() + "/T/T/a.jpg"));
    EXPECT_FALSE(fs::exists(Root() + "/T/T/c.jpg"));

    // A path that does not exist is reported; the others are still processed.
    const Outcome missing = RunBatchProgram({Root() + "/nowhere", Root() + "/T/a.jpg"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("nowhere"), std::string::npos);
}

TEST_F(BatchCommandTest, UsageErrorsAreOneLineAndAPointerToTheHelp) {
    struct Row {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Row> rows = {
        {{}, "no file or folder given"},
        {{"--ratio"}, "option --ratio needs a value"},
        {{"--ratio", "abc", "x"}, "the ratio must be a whole number above 0, not 'abc'"},
        {{"--ratio", "0", "x"}, "the ratio must be a whole number above 0, not '0'"},
        {{"--ratio", "-50", "x"}, "the ratio must be a whole number above 0, not '-50'"},
        {{"--ratio", "99999999999", "x"},
         "the ratio '99999999999' is too large (at most 2147483647)"},
        {{"--ratio=99999999999999999999999", "x"},
         "the ratio '99999999999999999999999' is too large (at most 2147483647)"},
        {{"--jobs", "0", "x"}, "the number of jobs must be a whole number above 0, not '0'"},
        {{"-j", "5000", "x"}, "the number of jobs '5000' is too large (at most 1024)"},
        {{"--max-memory", "12Q", "x"},
         "the memory size must be a whole number above 0, in bytes or followed by K, M, G or T, "
         "not '12Q'"},
        {{"--max-memory=99999999999T", "x"}, "the memory size '99999999999T' is too large"},
        {{"--files-from="}, "option --files-from needs a file"},
        {{"--bogus", "x"}, "unknown option '--bogus'"},
        // Control characters are shown escaped.
        {{"--bo\ngus\x1b", "x"}, "unknown option '--bo\\ngus\\x1b'"},
        {{"--fixed-folder", Root() + "/missing", Root()},
         "'" + Root() + "/missing' is not a folder"},
        {{"--fit", "800", "x"},
         "the --fit box must be WIDTHxHEIGHT in pixels, as 1600x1200, not '800'"},
        {{"--fit", "0x600", "x"}, "the --fit box's width and height must be above 0, not '0x600'"},
        {{"--fit", "-5x5", "x"},
         "the --fit box must be WIDTHxHEIGHT in pixels, as 1600x1200, not '-5x5'"},
        {{"--fit=99999999x1", "x"},
         "the --fit box '99999999x1' is too large (at most 65500 pixels a side)"},
        {{"--fit", "800x", "x"},
         "the --fit box must be WIDTHxHEIGHT in pixels, as 1600x1200, not '800x'"},
        {{"--fit", "800x600x2", "x"},
         "the --fit box must be WIDTHxHEIGHT in pixels, as 1600x1200, not '800x600x2'"},
        {{"--fit", "800x600", "--ratio", "50", "x"}, "--fit and --ratio cannot be used together"},
        {{"--ratio=50", "--fit=800x600", "x"}, "--fit and --ratio cannot be used together"},
        {{"--quality", "0", "x"}, "the quality must be a whole number from 1 to 100, not '0'"},
        {{"--quality", "101", "x"}, "the quality must be a whole number from 1 to 100, not '101'"},
        {{"--quality", "abc", "x"}, "the quality must be a whole number from 1 to 100, not 'abc'"},
        {{"--quality"}, "option --quality needs a value"},
        {{"--filter", "foo", "x"}, "the filter must be nearest or lanczos, not 'foo'"},
        {{"--filter=Lanczos", "x"}, "the filter must be nearest or lanczos, not 'Lanczos'"},
    };
    for (const Row& row : rows) {
        const Outcome run = RunBatchProgram(row.args);
        SCOPED_TRACE(row.message);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "pixmora-batch: " + row.message +
                               "\nTry 'pixmora-batch --help' for more information.\n");
        EXPECT_TRUE(run.out.empty());
    }
    const Outcome help = RunBatchProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: pixmora-batch", 0), 0u);
    const Outcome version = RunBatchProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "pixmora-batch (Pixmora) V2.0\n");
}

TEST_F(BatchCommandTest, TwoDashesEndTheOptions) {
    Jpeg("D/-x.jpg", 20, 20);
    const fs::path before = fs::current_path();
    fs::current_path(temp_.Path() / "D");
    const Outcome run = RunBatchProgram({"--ratio", "50", "--", "-x.jpg"});
    fs::current_path(before);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(SizeOf(Root() + "/D/D/-x.jpg"), std::make_pair(10, 10));
}

TEST_F(BatchCommandTest, APathThatIsNotThereIsReportedAndNoEmptyRunStarts) {
    const Outcome missing = RunBatchProgram({Root() + "/nowhere"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err,
              "pixmora-batch: cannot access '" + Root() + "/nowhere': No such file or directory\n");
    fs::create_directory(Root() + "/Empty");
    const Outcome empty = RunBatchProgram({Root() + "/Empty"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.err, "pixmora-batch: no JPEG file found\n");
}

TEST_F(BatchCommandTest, ControlCharactersInNamesAreShownEscaped) {
    const std::string odd = temp_.WriteFile("T/two\nlines\t.jpg", "not a picture");
    const Outcome run = RunBatchProgram({"--jobs", "1", odd});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "processing 0 / 1\n" + Root() + "/T/two\\nlines\\t.jpg: not a JPEG file\n");
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
    const std::set<std::string> written = EntryNames(Root() + "/Many/Many");
    ASSERT_EQ(written.size(), static_cast<std::size_t>(done));  // no stray or partial file
    for (const std::string& name : written) {
        EXPECT_EQ(SizeOf(Root() + "/Many/Many/" + name), std::make_pair(240, 180)) << name;
    }
}

TEST_F(BatchCommandTest, ASecondCtrlCQuitsAtOnceLeavingOnlyWholeFiles) {
    // The small file's progress line comes once the next, big one is taken; the second
    // press comes while that one is resized. It is big enough (27 megapixels) that the
    // press lands in time on a loaded machine under a sanitizer too. The small last file
    // is never started: were it written, its size would tell.
    Jpeg("Big/a.jpg", 16, 16);
    Jpeg("Big/f0.jpg", 6000, 4500);
    Jpeg("Big/f1.jpg", 16, 16);
    bool sent = false;
    const Outcome run =
        RunBatchProgram({"--jobs", "1", Root() + "/Big"}, [&](const std::string& line, pid_t pid) {
            if (line == "processing 1 / 3") kill(pid, SIGINT);
            if (!sent && line.find("stopping after the file in progress") != std::string::npos) {
                kill(pid, SIGINT);
                sent = true;
            }
        });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, 130) << run.err;
    for (const std::string& name : EntryNames(Root() + "/Big/Big")) {
        if (name == "a.jpg") continue;
        EXPECT_EQ(SizeOf(Root() + "/Big/Big/" + name), std::make_pair(3000, 2250)) << name;
    }
}

TEST_F(BatchCommandTest, ManyJobsWriteAndTellWhatOneJobDoes) {
    for (int i = 0; i < 9; ++i) Jpeg("P/f" + std::to_string(i) + ".jpg", 90 + 7 * i, 60);
    fs::create_directory(Root() + "/One");
    fs::create_directory(Root() + "/Many");
    const Outcome one =
        RunBatchProgram({"--jobs", "1", "--fixed-folder", Root() + "/One", Root() + "/P"});
    const Outcome many =
        RunBatchProgram({"-j3", "--fixed-folder", Root() + "/Many", Root() + "/P"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(many.status, 0) << many.err;
    EXPECT_EQ(many.err, one.err);
    const std::set<std::string> names = EntryNames(Root() + "/One/P");
    ASSERT_EQ(names.size(), 9u);
    EXPECT_EQ(EntryNames(Root() + "/Many/P"), names);
    for (const std::string& name : names) {
        EXPECT_EQ(test::ReadFile(Root() + "/Many/P/" + name),
                  test::ReadFile(Root() + "/One/P/" + name))
            << name;
    }
}

TEST_F(BatchCommandTest, ALoadFailureWithJobsStopsNewFilesAndExitsOne) {
    Jpeg("T/a.jpg", 64, 48);
    const std::string text = temp_.WriteFile("T/b.jpg", "not a picture");
    for (int i = 0; i < 30; ++i) Jpeg("T/c" + std::to_string(10 + i) + ".jpg", 64, 48);
    const Outcome run = RunBatchProgram({"--jobs", "2", Root() + "/T"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\n" + text + ": not a JPEG file\n"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(Root() + "/T/T/c39.jpg"));
}

TEST_F(BatchCommandTest, CtrlCWithJobsLeavesOnlyWholeFiles) {
    constexpr int kCount = 40;
    for (int i = 0; i < kCount; ++i) Jpeg("Many/f" + std::to_string(100 + i) + ".jpg", 480, 360);
    bool sent = false;
    const Outcome run =
        RunBatchProgram({"--jobs", "3", Root() + "/Many"}, [&](const std::string& line, pid_t pid) {
            if (!sent && line == "processing 2 / 40") {
                kill(pid, SIGINT);
                sent = true;
            }
        });
    ASSERT_TRUE(sent);
    EXPECT_EQ(run.status, 1) << run.err;
    const std::size_t at = run.err.rfind("processing ");
    ASSERT_NE(at, std::string::npos);
    const int done = std::stoi(run.err.substr(at + 11));
    EXPECT_LT(done, kCount);
    const std::set<std::string> written = EntryNames(Root() + "/Many/Many");
    ASSERT_EQ(written.size(), static_cast<std::size_t>(done));
    for (const std::string& name : written)
        EXPECT_EQ(SizeOf(Root() + "/Many/Many/" + name), std::make_pair(240, 180)) << name;
}

TEST_F(BatchCommandTest, CtrlCIsAcknowledgedWhileTheFileIsInProgress) {
    // The big file is taken before the progress line of the small one lets the test press.
    // A loaded machine may still finish it before the press is taken, so up to three runs
    // are tried: a stop told only once the file is written fails every one of them.
    Jpeg("Big/a.jpg", 16, 16);
    Jpeg("Big/b.jpg", 4800, 3600);
    bool told_in_progress = false;
    for (int attempt = 0; attempt < 3 && !told_in_progress; ++attempt) {
        fs::remove_all(Root() + "/Big/Big");
        bool sent = false;
        bool output_there = true;
        const Outcome run = RunBatchProgram(
            {"--jobs", "1", Root() + "/Big"}, [&](const std::string& line, pid_t pid) {
                if (line == "processing 1 / 2") {
                    kill(pid, SIGINT);
                    sent = true;
                }
                if (line.find("stopping after") != std::string::npos)
                    output_there = fs::exists(Root() + "/Big/Big/b.jpg");
            });
        ASSERT_TRUE(sent);
        told_in_progress = !output_there;
        // The file in progress is still finished.
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(SizeOf(Root() + "/Big/Big/b.jpg"), std::make_pair(2400, 1800));
    }
    EXPECT_TRUE(told_in_progress);
}

// The failure lines of a run's error stream, the progress left out.
std::string FailureLines(const std::string& err) {
    std::string lines;
    std::size_t start = 0;
    for (std::size_t nl; (nl = err.find('\n', start)) != std::string::npos; start = nl + 1) {
        const std::string line = err.substr(start, nl - start);
        if (line.rfind("processing ", 0) != 0) lines += line + "\n";
    }
    return lines;
}

// A Unix socket at path, which no one can open as a file.
void BindSocket(const std::string& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
}

TEST_F(BatchCommandTest, TheDryRunForetellsTheRunCaseByCase) {
    // Each case in a folder of its own: %S is the folder's path, %O its output folder.
    struct Row {
        const char* name;
        std::function<std::vector<std::string>(const std::string& folder)> make;  // the args
        std::string dry_out;
        int status;            // of the dry run and of the run
        std::string failures;  // the run's failure lines
    };
    const auto jpeg = [this](const std::string& path, int width, int height) {
        return Jpeg(path.substr(Root().size() + 1), width, height);
    };
    const std::vector<Row> rows = {
        {"new",
         [&](const std::string& f) { return std::vector<std::string>{jpeg(f + "/a.jpg", 16, 16)}; },
         "%O/a.jpg: 8 x 8, new\n", 0, ""},
        {"existing output",
         [&](const std::string& f) {
             temp_.WriteFile(
                 f.substr(Root().size() + 1) + "/" + fs::path(f).filename().string() + "/a.jpg",
                 "old");
             return std::vector<std::string>{jpeg(f + "/a.jpg", 16, 16)};
         },
         "%O/a.jpg: 8 x 8, replaces an existing file\n", 0, ""},
        {"read-only output",
         [&](const std::string& f) {
             const std::string out =
                 jpeg(f + "/" + fs::path(f).filename().string() + "/a.jpg", 8, 8);
             ::chmod(out.c_str(), 0444);
             return std::vector<std::string>{jpeg(f + "/a.jpg", 16, 16)};
         },
         "%O/a.jpg: refused: read-only output\n", 1, "%S/a.jpg: read-only output %O/a.jpg\n"},
        {"output is a folder",
         [&](const std::string& f) {
             fs::create_directories(f + "/" + fs::path(f).filename().string() + "/a.jpg");
             return std::vector<std::string>{jpeg(f + "/a.jpg", 16, 16)};
         },
         "%O/a.jpg: refused: the output is a folder\n", 1,
         "%S/a.jpg: cannot write %O/a.jpg: Is a directory\n"},
        {"own source",
         [&](const std::string& f) {
             return std::vector<std::string>{"--fixed-folder", fs::path(f).parent_path().string(),
                                             jpeg(f + "/a.jpg", 16, 16)};
         },
         "%S/a.jpg: refused: the output is the source itself\n", 1,
         "%S/a.jpg: the output is the source itself\n"},
        {"no pixels, and the run goes on",
         [&](const std::string& f) {
             return std::vector<std::string>{jpeg(f + "/a.jpg", 1, 1), jpeg(f + "/b.jpg", 16, 16)};
         },
         "%O/a.jpg: refused: no pixels at 50 %\n%O/b.jpg: 8 x 8, new\n", 1,
         "%S/a.jpg: no pixels at 50 %\n"},
        {"not a JPEG ends the run",
         [&](const std::string& f) {
             return std::vector<std::string>{
                 temp_.WriteFile(f.substr(Root().size() + 1) + "/a.jpg", "not a picture"),
                 jpeg(f + "/b.jpg", 16, 16)};
         },
         "%O/a.jpg: not a JPEG\n%O/b.jpg: not reached: the run ends at line 1\n", 1,
         "%S/a.jpg: not a JPEG file\n"},
        {"damaged header",
         [&](const std::string& f) {
             const std::string cut = test::MakeJpeg(test::Options(16, 16)).substr(0, 20);
             return std::vector<std::string>{
                 temp_.WriteFile(f.substr(Root().size() + 1) + "/a.jpg", cut)};
         },
         "%O/a.jpg: damaged data: JPEG datastream contains no image\n", 1,
         "%S/a.jpg: damaged data: JPEG datastream contains no image\n"},
        {"a socket named .jpg",
         [&](const std::string& f) {
             fs::create_directories(f);
             BindSocket(f + "/a.jpg");
             return std::vector<std::string>{f + "/a.jpg"};
         },
         "%O/a.jpg: cannot read: not a regular file\n", 1, "%S/a.jpg: not a regular file\n"},
        {"over the memory budget ends the run",
         [&](const std::string& f) {
             return std::vector<std::string>{"--max-memory", "5M", jpeg(f + "/a.jpg", 16, 16),
                                             jpeg(f + "/b.jpg", 1200, 1200),
                                             jpeg(f + "/c.jpg", 16, 16)};
         },
         "%O/a.jpg: 8 x 8, new\n%O/b.jpg: refused: needs 7 MiB, over the budget of 5 MiB\n"
         "%O/c.jpg: not reached: the run ends at line 2\n",
         1, "%S/b.jpg: needs 7 MiB, over the memory budget of 5 MiB (--max-memory)\n"},
        {"a box lowers the memory need",
         [&](const std::string& f) {
             return std::vector<std::string>{"--max-memory", "6M", "--fit", "100x100",
                                             jpeg(f + "/b.jpg", 1200, 1200)};
         },
         "%O/b.jpg: 100 x 100, new\n", 0, ""},
        {"the box as shown, the size as stored",
         [&](const std::string& f) {
             test::JpegOptions turned = test::Options(40, 20);
             turned.app_segments = {test::ExifOrientationSegment(6)};
             return std::vector<std::string>{
                 "--fit", "10x10",
                 temp_.WriteFile(f.substr(Root().size() + 1) + "/a.jpg", test::MakeJpeg(turned))};
         },
         "%O/a.jpg: 10 x 5, new\n", 0, ""},
        {"an empty file has no pixels to fit",
         [&](const std::string& f) {
             return std::vector<std::string>{
                 "--fit", "10x10", temp_.WriteFile(f.substr(Root().size() + 1) + "/a.jpg", "")};
         },
         "%O/a.jpg: refused: no pixels in the source\n", 1, "%S/a.jpg: no pixels in the source\n"},
        {"one output twice: the later wins",
         [&](const std::string& f) {
             const std::string a = jpeg(f + "/a.jpg", 16, 16);
             return std::vector<std::string>{a, jpeg(f + "/b.jpg", 16, 16), a};
         },
         "%O/a.jpg: 8 x 8, new, then line 3 replaces it\n%O/b.jpg: 8 x 8, new\n"
         "%O/a.jpg: 8 x 8, replaces the output of line 1\n",
         0, ""},
    };
    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = Root() + "/C" + std::to_string(number++);
        const std::string output = folder + "/" + fs::path(folder).filename().string();
        const auto expand = [&](std::string text) {
            for (const auto& [mark, value] : {std::pair{"%S", folder}, std::pair{"%O", output}}) {
                for (std::size_t at; (at = text.find(mark)) != std::string::npos;)
                    text.replace(at, 2, value);
            }
            return text;
        };
        std::vector<std::string> args = row.make(folder);
        const std::set<std::string> before = EntryNames(folder);
        args.insert(args.begin(), "--dry-run");
        const Outcome dry = RunBatchProgram(args);
        EXPECT_EQ(dry.out, expand(row.dry_out));
        EXPECT_EQ(dry.err, "");
        EXPECT_EQ(dry.status, row.status);
        EXPECT_EQ(EntryNames(folder), before);  // nothing written, no folder made

        args.erase(args.begin());
        const Outcome run = RunBatchProgram(args);
        EXPECT_EQ(run.status, row.status) << run.err;
        EXPECT_EQ(FailureLines(run.err), expand(row.failures));
    }
}

TEST_F(BatchCommandTest, AnOutputFolderThatCannotBeMadeSaysWhyTheOutputCannotBeWritten) {
    // The output folder cannot be made: a file stands where it would be.
    const std::string source = Jpeg("W/a.jpg", 16, 16);
    temp_.WriteFile("W/W", "a file");
    const Outcome blocked = RunBatchProgram({source});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_EQ(FailureLines(blocked.err),
              source + ": cannot write " + Root() + "/W/W/a.jpg: Not a directory\n");
}

TEST_F(BatchCommandTest, FilesFromListsAfterThePathsByLineOrByNul) {
    const std::string a = Jpeg("L/a.jpg", 16, 16);
    Jpeg("L/Sub/b.jpg", 16, 16);
    const std::string odd = Jpeg("L/new\nline.jpg", 16, 16);
    const std::string first = Jpeg("F/first.jpg", 16, 16);
    const std::string list = temp_.WriteFile("list.txt", Root() + "/L/Sub\n\n" + a + "\n");

    const Outcome lines = RunBatchProgram({"--dry-run", "--files-from", list, first});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(lines.out, Root() + "/F/F/first.jpg: 8 x 8, new\n" + Root() +
                             "/L/Sub/Sub/b.jpg: 8 x 8, new\n" + Root() +
                             "/L/L/a.jpg: 8 x 8, new\n");

    // From standard input, separated by NUL: a name may hold a newline.
    const std::string nul_list = odd + std::string(1, '\0') + a + std::string(1, '\0');
    const Outcome nul = RunBatchProgram({"--files-from=-", "--null"}, {}, nul_list);
    EXPECT_EQ(nul.status, 0) << nul.err;
    EXPECT_EQ(SizeOf(Root() + "/L/L/new\nline.jpg"), std::make_pair(8, 8));
    EXPECT_EQ(SizeOf(Root() + "/L/L/a.jpg"), std::make_pair(8, 8));

    const Outcome unreadable = RunBatchProgram({"--files-from", Root() + "/no-list"});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_EQ(unreadable.err,
              "pixmora-batch: cannot read '" + Root() + "/no-list': No such file or directory\n");
}

TEST_F(BatchCommandTest, MaxMemoryBoundsEachFilesDecoding) {
    // Halving 2000 x 2000 makes a 3 MB picture: more than 1 MiB, well within 64 MiB.
    const std::string big = Jpeg("M/big.jpg", 2000, 2000);
    const Outcome tight = RunBatchProgram({"--max-memory", "1M", big});
    EXPECT_EQ(tight.status, 1);
    EXPECT_EQ(tight.err, "processing 0 / 1\n" + big +
                             ": needs 9 MiB, over the memory budget of 1 MiB (--max-memory)\n");
    EXPECT_FALSE(fs::exists(Root() + "/M/M/big.jpg"));
    const Outcome roomy = RunBatchProgram({"--max-memory=64m", "--jobs", "2", big});
    EXPECT_EQ(roomy.status, 0) << roomy.err;
    EXPECT_EQ(SizeOf(Root() + "/M/M/big.jpg"), std::make_pair(1000, 1000));
}

TEST_F(BatchCommandTest, AdobeRgbProfileReachesTheOutput) {
    test::JpegOptions options = test::Options(60, 40);
    options.progressive = true;
    options.icc_profile = test::ReadFile(test::ColordProfile("AdobeRGB1998.icc"));
    ASSERT_FALSE(options.icc_profile.empty())
        << "colord-data missing: scripts/setup.sh installs it";
    const std::string source = temp_.WriteFile("P/a.jpg", test::MakeJpeg(options));
    const Outcome run = RunBatchProgram({"--ratio", "50", source});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string out = test::ReadFile(Root() + "/P/P/a.jpg");
    EXPECT_EQ(SizeOf(Root() + "/P/P/a.jpg"), std::make_pair(30, 20));
    EXPECT_TRUE(test::ReadIccProfile(out) == options.icc_profile);
}

TEST_F(BatchCommandTest, DamagedDataIsWrittenToldAndExitsOne) {
    const std::string whole = test::MakeJpeg(test::Options(200, 160));
    const std::string cut = temp_.WriteFile("D/a.jpg", whole.substr(0, whole.size() / 2));
    Jpeg("D/b.jpg", 64, 48);
    const Outcome run = RunBatchProgram({"--jobs", "1", Root() + "/D"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "processing 0 / 2\n" + cut +
                           ": damaged data: Premature end of JPEG file\nprocessing 1 / 2\n"
                           "processing 2 / 2\n");
    // Written all the same, as the window does.
    EXPECT_EQ(SizeOf(Root() + "/D/D/a.jpg"), std::make_pair(100, 80));
    EXPECT_EQ(SizeOf(Root() + "/D/D/b.jpg"), std::make_pair(32, 24));
}

TEST_F(BatchCommandTest, AFifoNamedJpgHoldsNeitherTheRunNorTheDryRun) {
    Jpeg("F/a.jpg", 16, 16);
    const std::string fifo = Root() + "/F/b.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const Outcome run = RunBatchProgram({"--jobs", "1", Root() + "/F"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("\n" + fifo + ": not a regular file\n"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::exists(Root() + "/F/F/a.jpg"));
    const Outcome dry = RunBatchProgram({"--dry-run", Root() + "/F"});
    EXPECT_EQ(dry.status, 1) << dry.out;
}

TEST_F(BatchCommandTest, FitShrinksIntoTheBoxAsShownAndNeverEnlarges) {
    struct Row {
        const char* name;
        int width, height, orientation;  // 0: no Exif
        std::string box;
        std::pair<int, int> stored;  // the copy's size as its file holds it
    };
    const std::vector<Row> rows = {
        {"landscape", 400, 300, 0, "100x100", {100, 75}},
        {"portrait", 300, 400, 1, "100x100", {75, 100}},
        {"orientation 6", 400, 300, 6, "160x100", {100, 75}},
        {"orientation 8", 400, 300, 8, "160x100", {100, 75}},
        {"already inside", 80, 60, 0, "100x100", {80, 60}},
        {"a side of one pixel", 4000, 10, 0, "100x100", {100, 1}},
    };
    int number = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string folder = "F" + std::to_string(number++);
        test::JpegOptions options = test::Options(row.width, row.height);
        if (row.orientation != 0)
            options.app_segments = {test::ExifOrientationSegment(row.orientation)};
        const std::string source = temp_.WriteFile(folder + "/a.jpg", test::MakeJpeg(options));
        const std::string output = Root() + "/" + folder + "/" + folder + "/a.jpg";
        const std::string size =
            std::to_string(row.stored.first) + " x " + std::to_string(row.stored.second);
        const Outcome dry = RunBatchProgram({"--dry-run", "--fit", row.box, source});
        EXPECT_EQ(dry.out, output + ": " + size + ", new\n");
        const Outcome run = RunBatchProgram({"--fit=" + row.box, source});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(SizeOf(output), row.stored);
    }
}

TEST_F(BatchCommandTest, QualityGivesLibjpegsOwnTables) {
    const std::string source = Jpeg("Q/a.jpg", 64, 48);
    for (const int quality : {1, 50, 75, 100}) {
        SCOPED_TRACE(quality);
        const Outcome run = RunBatchProgram({"--quality", std::to_string(quality), source});
        EXPECT_EQ(run.status, 0) << run.err;
        const auto tables =
            test::ReadQuantTables(test::ReadJpegSegments(test::ReadFile(Root() + "/Q/Q/a.jpg")));
        // The tables libjpeg sets for the quality, luma 0 and chroma 1.
        TCompressObject object;
        jpeg_compress_struct& info = object.Info();
        info.in_color_space = JCS_RGB;
        info.input_components = 3;
        object.Run([&] {
            jpeg_set_defaults(&info);
            jpeg_set_quality(&info, quality, TRUE);
        });
        ASSERT_EQ(tables.size(), 2u);
        for (const auto& [number, table] : tables) {
            SCOPED_TRACE(number);
            ASSERT_LT(number, 2);
            for (int i = 0; i < 64; ++i)
                EXPECT_EQ(table[static_cast<size_t>(i)], info.quant_tbl_ptrs[number]->quantval[i]);
        }
    }
}

TEST_F(BatchCommandTest, KeepMetadataCarriesExifXmpIptcAndComments) {
    const std::string exif = test::ExifOrientationSegment(6) + "camera maker";
    const std::string xmp = "\xE1" + std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 33);
    const std::string iptc = "\xED" + std::string("Photoshop 3.0\08BIM", 18);
    const std::string comment =
        "\xFE"
        "taken at dawn";
    test::JpegOptions options = test::Options(64, 48);
    options.app_segments = {exif, xmp, iptc, comment};
    const std::string source = temp_.WriteFile("K/a.jpg", test::MakeJpeg(options));
    // Each segment of the copy but its JFIF, tables, frame and scan, as marker and data.
    const auto metadata = [&] {
        std::vector<std::string> segments;
        for (const test::JpegSegment& segment :
             test::ReadJpegSegments(test::ReadFile(Root() + "/K/K/a.jpg"))) {
            const bool application = segment.marker > 0xE0 && segment.marker <= 0xEF;
            if (!application && segment.marker != 0xFE) continue;
            segments.push_back(std::string(1, static_cast<char>(segment.marker)) + segment.data);
        }
        return segments;
    };
    const Outcome kept = RunBatchProgram({"--keep-metadata", source});
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(metadata(), (std::vector<std::string>{exif, xmp, iptc, comment}));
    EXPECT_EQ(SizeOf(Root() + "/K/K/a.jpg"), std::make_pair(32, 24));

    const Outcome plain = RunBatchProgram({source});
    EXPECT_EQ(plain.status, 0) << plain.err;
    // Only the orientation, in a block of its own.
    const std::vector<std::string> segments = metadata();
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_NE(segments[0], exif);
    TJPEGImage copy;
    copy.LoadFromFile(Root() + "/K/K/a.jpg");
    EXPECT_EQ(copy.Orientation(), 6);
}

TEST_F(BatchCommandTest, TheDefaultsWriteWhatTheyAlwaysWrote) {
    test::JpegOptions turned = test::Options(90, 70);
    turned.app_segments = {test::ExifOrientationSegment(8),
                           "\xFE"
                           "a comment"};
    turned.icc_profile = test::ReadFile(test::ColordProfile("AdobeRGB1998.icc"));
    Jpeg("S/a.jpg", 100, 80);
    temp_.WriteFile("S/b.jpg", test::MakeJpeg(test::Progressive(test::Options(77, 93))));
    temp_.WriteFile("S/c.jpg", test::MakeJpeg(turned));
    fs::create_directory(Root() + "/Default");
    fs::create_directory(Root() + "/Named");
    const Outcome defaults =
        RunBatchProgram({"--fixed-folder", Root() + "/Default", Root() + "/S"});
    const Outcome named =
        RunBatchProgram({"--quality", "90", "--filter", "nearest", "--ratio", "50",
                         "--fixed-folder", Root() + "/Named", Root() + "/S"});
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_EQ(named.status, 0) << named.err;
    for (const std::string name : {"a.jpg", "b.jpg", "c.jpg"}) {
        SCOPED_TRACE(name);
        const std::string written = test::ReadFile(Root() + "/Default/S/" + name);
        EXPECT_FALSE(written.empty());
        EXPECT_TRUE(written == test::ReadFile(Root() + "/Named/S/" + name));
    }
}

// Many small files and seven jobs keep a save in progress nearly all the time.
class SignalledRunTest : public BatchCommandTest {
protected:
    static constexpr int kCount = 600;
    void SetUp() override {
        // Large enough that a loaded machine reading the progress late still stops the run
        // well before its half.
        const std::string jpeg = test::MakeJpeg(test::Options(256, 192));
        for (int i = 0; i < kCount; ++i)
            many_.WriteFile("Many/f" + std::to_string(1000 + i) + ".jpg", jpeg);
    }
    std::string Source() const { return many_.Path().string() + "/Many"; }
    std::string Outputs() const { return Source() + "/Many"; }
    // Every output is whole, none is a temporary left behind; returns how many there are.
    int ExpectOnlyWholeOutputs() const {
        const std::set<std::string> written = EntryNames(Outputs());
        for (const std::string& name : written) {
            EXPECT_EQ(name.size(), 9u) << name;  // f1234.jpg
            EXPECT_EQ(SizeOf(Outputs() + "/" + name), std::make_pair(384, 288)) << name;
        }
        return static_cast<int>(written.size());
    }

    test::TempFolder many_{test::MemoryFileSystem()};
};

TEST_F(SignalledRunTest, TermHupAndQuitStopTheRunAtOnceAndEndByTheSignal) {
    for (const int signal_number : {SIGTERM, SIGHUP, SIGQUIT}) {
        SCOPED_TRACE(strsignal(signal_number));
        fs::remove_all(Outputs());
        bool sent = false;
        const Outcome run = RunBatchProgram(
            {"--ratio", "150", "--jobs", "7", Source()}, [&](const std::string& line, pid_t pid) {
                if (!sent && line == "processing 20 / " + std::to_string(kCount)) {
                    kill(pid, signal_number);
                    sent = true;
                }
            });
        ASSERT_TRUE(sent);
        EXPECT_EQ(run.status, 128 + signal_number) << run.err;
        EXPECT_NE(run.err.find("stopping after the file in progress"), std::string::npos)
            << run.err;
        // The files in progress are finished and shown; no other file is started.
        const std::size_t at = run.err.rfind("processing ");
        ASSERT_NE(at, std::string::npos);
        const int done = std::stoi(run.err.substr(at + 11));
        EXPECT_LT(done, kCount / 2);
        EXPECT_EQ(ExpectOnlyWholeOutputs(), done);
    }
}

TEST_F(SignalledRunTest, AnErrorStreamNobodyReadsHoldsNeitherTheRunNorTheStop) {
    int err_pipe[2];
    ASSERT_EQ(pipe(err_pipe), 0);
    // One page: the progress lines fill it after some two hundred files.
    fcntl(err_pipe[1], F_SETPIPE_SZ, 4096);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(err_pipe[1], STDERR_FILENO);
        close(err_pipe[0]);
        execl(PIXMORA_BATCH_BINARY, PIXMORA_BATCH_BINARY, "--ratio", "150", "--jobs", "7",
              Source().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(err_pipe[1]);
    using Clock = std::chrono::steady_clock;
    const auto Exited = [pid](int& status) { return waitpid(pid, &status, WNOHANG) == pid; };
    int status = 0;
    bool exited = false;
    // Well past the files whose progress fits the pipe.
    for (const auto give_up = Clock::now() + std::chrono::seconds(20);
         !(exited = Exited(status)) && Clock::now() < give_up;) {
        std::error_code ec;
        if (std::distance(fs::directory_iterator(Outputs(), ec), fs::directory_iterator()) >= 300)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!exited) {
        kill(pid, SIGINT);
        const auto signalled = Clock::now();
        while (!(exited = Exited(status)) && Clock::now() - signalled < std::chrono::seconds(10))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_LT(Clock::now() - signalled, std::chrono::seconds(5));
    }
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    close(err_pipe[0]);
    ASSERT_TRUE(exited);
    EXPECT_TRUE(WIFEXITED(status));
    ExpectOnlyWholeOutputs();
}

}  // namespace
}  // namespace pixmora
