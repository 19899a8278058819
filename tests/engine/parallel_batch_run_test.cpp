// The parallel run over real small JPEG files: outputs equal to the one-file run's, the
// order of files sharing an output, failures, and stop requests.
#include "engine/run/parallel_batch_run.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/resize_with_lanczos.h"
#include "engine/run/batch_run.h"
#include "engine/run/file_resize.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"
#include "tests/engine/picture_size.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;
using test::EntryNames;
using test::Options;

class RecordingParallelView : public ParallelBatchView {
public:
    std::vector<std::string> statuses;
    std::vector<std::string> failures;  // the paths
    std::vector<FailureKind> kinds;
    std::vector<std::string> damaged;  // path + ": " + message
    int stoppings = 0;
    std::function<void(const std::string&)> on_status;

    void SetStatusCaption(const std::string& text) override {
        statuses.push_back(text);
        if (on_status) on_status(text);
    }
    void ShowFileFailure(const std::string& path, const FailureReason& reason) override {
        failures.push_back(path);
        kinds.push_back(reason.kind);
    }
    void ShowDamagedData(const std::string& path, const std::string& message) override {
        damaged.push_back(path + ": " + message);
    }
    void ShowStopping() override { ++stoppings; }
};

class ParallelBatchRunTest : public ::testing::Test {
protected:
    std::string Add(const std::string& relative, const test::JpegOptions& options) {
        const std::string path = temp_.WriteFile(relative, test::MakeJpeg(options));
        AddListed(path);
        return path;
    }
    void AddListed(const std::string& path) {
        TListe_File entry;
        entry.FullName = path;
        DeriveEntryNames(entry);
        files_.push_back(entry);
    }
    int32_t Run(int jobs, const std::string& fixed_folder = {}) {
        settings_.jobs = jobs;
        settings_.file.fixed_folder_mode = !fixed_folder.empty();
        settings_.file.fixed_folder = fixed_folder;
        return RunBatchInParallel(files_, settings_, control_, view_);
    }
    std::string Root() const { return temp_.Path().string(); }
    std::string Folder(const std::string& relative) const {
        fs::create_directories(temp_.Path() / relative);
        return (temp_.Path() / relative).string();
    }

    test::TempFolder temp_;
    std::vector<TListe_File> files_;
    ParallelBatchSettings settings_;
    RunControl control_;
    RecordingParallelView view_;
};

TEST_F(ParallelBatchRunTest, WritesWhatTheOneFileRunWritesByteForByte) {
    Add("P/plain.jpg", Options(97, 61));
    Add("P/progressive.jpg", test::Progressive(Options(120, 80)));
    Add("P/gray.jpg", Options(64, 64, 1));
    Add("P/cmyk.jpg", Options(50, 40, 4));
    Add("P/444.jpg", test::Sampling(Options(81, 33), 1, 1));
    test::JpegOptions turned = Options(40, 70);
    turned.app_segments = {test::ExifOrientationSegment(6)};
    Add("P/turned.jpg", turned);
    for (int i = 0; i < 6; ++i) Add("P/more" + std::to_string(i) + ".jpg", Options(90 + i, 50));

    // One job into one folder, four into another.
    settings_.file.ratio = 37;
    const std::string one = Folder("One");
    EXPECT_EQ(Run(1, one), static_cast<int32_t>(files_.size()));
    view_ = RecordingParallelView();
    const std::string many = Folder("Many");
    EXPECT_EQ(Run(4, many), static_cast<int32_t>(files_.size()));
    EXPECT_TRUE(view_.failures.empty());
    for (const TListe_File& entry : files_) {
        SCOPED_TRACE(entry.FileName);
        const std::string written = test::ReadFile(many + "/P/" + entry.FileName);
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(written, test::ReadFile(one + "/P/" + entry.FileName));
    }
    // The progress counts finished files, one at a time, up to the file count.
    ASSERT_EQ(view_.statuses.size(), files_.size() + 1);
    for (std::size_t k = 0; k <= files_.size(); ++k)
        EXPECT_EQ(view_.statuses[k], ProcessingText(static_cast<int32_t>(k), 12));
}

TEST_F(ParallelBatchRunTest, OfFilesWithOneOutputTheLaterInTheListWins) {
    // Under one fixed folder, "big/Trip/pN.jpg" and "small/Trip/pN.jpg" both go to
    // "Out/Trip/pN.jpg". The earlier, bigger file takes longer: written at the same time,
    // it would often be the one left.
    for (int i = 0; i < 6; ++i) {
        const std::string name = "/Trip/p" + std::to_string(i) + ".jpg";
        Add("big" + name, test::Plain(Options(640, 480)));
        Add("small" + name, Options(16, 12));
    }
    const std::string twice = Add("twice/Trip/t.jpg", Options(32, 32));
    AddListed(twice);
    const std::string out = Folder("Out");
    EXPECT_EQ(Run(4, out), static_cast<int32_t>(files_.size()));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(test::PictureSizeOf(out + "/Trip/p" + std::to_string(i) + ".jpg"),
                  std::make_pair(8, 6))
            << i;
    EXPECT_EQ(test::PictureSizeOf(out + "/Trip/t.jpg"), std::make_pair(16, 16));
    EXPECT_EQ(EntryNames(out + "/Trip").size(), 7u);  // no temporary file left
}

TEST_F(ParallelBatchRunTest, ALoadFailureEndsTheRunWhereOneJobWouldWhateverTheJobs) {
    // The bad file is second; the files after it are small and finish first, but none of
    // them may be written.
    Add("T/a.jpg", test::Progressive(Options(900, 700)));
    const std::string bad = temp_.WriteFile("T/b.jpg", "not a picture");
    AddListed(bad);
    for (int i = 0; i < 30; ++i) Add("T/c" + std::to_string(i) + ".jpg", Options(16, 12));
    for (int jobs : {1, 4}) {
        SCOPED_TRACE(jobs);
        fs::remove_all(Root() + "/T/T");
        view_ = RecordingParallelView();
        EXPECT_EQ(Run(jobs), 1);
        EXPECT_EQ(view_.failures, std::vector<std::string>{bad});
        EXPECT_EQ(view_.kinds, std::vector<FailureKind>{FailureKind::NotJpeg});
        EXPECT_EQ(EntryNames(Root() + "/T/T"), std::set<std::string>{"a.jpg"});
        EXPECT_EQ(view_.statuses.back(), ProcessingText(1, 32));
    }
}

TEST_F(ParallelBatchRunTest, AFolderResizedTwiceReadsWhatTheFirstPassWrote) {
    // t/x.jpg is written to t/t/x.jpg, which the list holds too: one job reads it once it
    // has been rewritten, and so must seven.
    for (int i = 0; i < 10; ++i) {
        const std::string name = "x" + std::to_string(i) + ".jpg";
        Add("t/" + name, Options(200 + 8 * i, 150));
        temp_.WriteFile("t/t/" + name, test::MakeJpeg(Options(40, 30)));
    }
    for (int i = 0; i < 10; ++i) AddListed(Root() + "/t/t/x" + std::to_string(i) + ".jpg");
    std::vector<std::string> outputs[2];
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 10; ++i)
            temp_.WriteFile("t/t/x" + std::to_string(i) + ".jpg", test::MakeJpeg(Options(40, 30)));
        EXPECT_EQ(Run(pass == 0 ? 1 : 7), 20);
        for (int i = 0; i < 10; ++i)
            outputs[pass].push_back(
                test::ReadFile(Root() + "/t/t/t/x" + std::to_string(i) + ".jpg"));
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_EQ(test::PictureSizeOf(Root() + "/t/t/t/x0.jpg"), std::make_pair(50, 37));
}

TEST_F(ParallelBatchRunTest, OneMemoryBudgetServesTheRunWhateverTheJobs) {
    // Each file needs more than half the budget: they run one at a time, and none fails
    // however many jobs there are. A file over the whole budget fails alone.
    for (int i = 0; i < 4; ++i)
        Add("M/p" + std::to_string(i) + ".jpg", test::Progressive(Options(1200, 900)));
    TJPEGImage probe;
    probe.LoadFromFile(files_[0].FullName);
    const uint64_t need = probe.DecoderMemoryNeed() + TPixelBuffer::ByteCount(600, 450);
    settings_.memory_budget = need + need / 2;
    EXPECT_EQ(Run(1024), 4);
    EXPECT_TRUE(view_.failures.empty());

    view_ = RecordingParallelView();
    settings_.memory_budget = need - 1;
    EXPECT_EQ(Run(1024), 0);
    EXPECT_EQ(view_.failures, std::vector<std::string>{files_[0].FullName});
    EXPECT_EQ(view_.kinds, std::vector<FailureKind>{FailureKind::OverBudget});
}

TEST_F(ParallelBatchRunTest, TheLanczosFilterWritesWhatItsResizeGives) {
    const std::string path = Add("L/p.jpg", test::Progressive(Options(160, 120)));
    settings_.file.ratio = 25;
    settings_.file.filter = ResampleFilter::Lanczos;
    const std::string out = Folder("Out");
    EXPECT_EQ(Run(2, out), 1);
    TJPEGImage image;
    TPixelBuffer target;
    image.LoadFromFile(path);
    ResizeWithLanczos(image, target, 40, 30);
    image.SaveToFile(Root() + "/expected.jpg");
    EXPECT_EQ(test::ReadFile(out + "/L/p.jpg"), test::ReadFile(Root() + "/expected.jpg"));
}

TEST_F(ParallelBatchRunTest, TheLanczosFilterTakesItsShareOfTheBudget) {
    Add("B/p.jpg", test::Progressive(Options(1200, 900)));
    settings_.file.ratio = 25;
    settings_.file.filter = ResampleFilter::Lanczos;
    TJPEGImage probe;
    probe.LoadFromFile(files_[0].FullName);
    settings_.memory_budget = FileMemoryNeed(probe, 300, 225, ResampleFilter::Nearest);
    EXPECT_EQ(Run(1), 0);
    EXPECT_EQ(view_.kinds, std::vector<FailureKind>{FailureKind::OverBudget});

    view_ = RecordingParallelView();
    settings_.memory_budget = FileMemoryNeed(probe, 300, 225, ResampleFilter::Lanczos);
    EXPECT_EQ(Run(1), 1);
    EXPECT_TRUE(view_.failures.empty());
}

TEST_F(ParallelBatchRunTest, ATargetWithoutPixelsIsReportedAndTheRunGoesOn) {
    Add("Z/tiny.jpg", Options(1, 1));
    Add("Z/fine.jpg", Options(64, 48));
    EXPECT_EQ(Run(2), 1);
    EXPECT_EQ(view_.failures, std::vector<std::string>{files_[0].FullName});
    EXPECT_EQ(view_.kinds, std::vector<FailureKind>{FailureKind::NoPixels});
    EXPECT_EQ(EntryNames(Root() + "/Z/Z"), std::set<std::string>{"fine.jpg"});
    EXPECT_EQ(view_.statuses.back(), ProcessingText(2, 2));
}

TEST_F(ParallelBatchRunTest, AFailedSaveIsReportedAndTheRunGoesOn) {
    for (int i = 0; i < 6; ++i) Add("R/f" + std::to_string(i) + ".jpg", Options(32, 32));
    const std::string locked = temp_.WriteFile("R/R/f2.jpg", "keep me");
    ::chmod(locked.c_str(), 0444);
    EXPECT_EQ(Run(3), 5);
    EXPECT_EQ(view_.failures, std::vector<std::string>{files_[2].FullName});
    EXPECT_EQ(view_.kinds, std::vector<FailureKind>{FailureKind::ReadOnlyOutput});
    EXPECT_EQ(test::ReadFile(locked), "keep me");
    EXPECT_EQ(view_.statuses.back(), ProcessingText(6, 6));
}

TEST_F(ParallelBatchRunTest, DamagedDataIsToldAndTheFileWrittenAllTheSame) {
    const std::string whole = test::MakeJpeg(Options(200, 160));
    const std::string cut = temp_.WriteFile("D/cut.jpg", whole.substr(0, whole.size() / 2));
    AddListed(cut);
    Add("D/fine.jpg", Options(64, 48));
    EXPECT_EQ(Run(2), 2);
    EXPECT_EQ(view_.damaged, std::vector<std::string>{cut + ": Premature end of JPEG file"});
    EXPECT_TRUE(view_.failures.empty());
    EXPECT_EQ(test::PictureSizeOf(Root() + "/D/D/cut.jpg"), std::make_pair(100, 80));
}

TEST_F(ParallelBatchRunTest, AStopRequestLetsTheFilesInProgressFinish) {
    for (int i = 0; i < 40; ++i) Add("S/f" + std::to_string(i) + ".jpg", Options(160, 120));
    // The request comes from another thread, as Ctrl-C does.
    std::thread requester;
    view_.on_status = [&](const std::string& text) {
        if (text == ProcessingText(1, 40)) requester = std::thread([&] { control_.RequestStop(); });
    };
    const int32_t written = Run(3);
    requester.join();
    EXPECT_EQ(view_.stoppings, 1);
    EXPECT_GE(written, 1);
    EXPECT_LT(written, 40);
    EXPECT_TRUE(view_.failures.empty());
    const std::set<std::string> names = EntryNames(Root() + "/S/S");
    EXPECT_EQ(names.size(), static_cast<std::size_t>(written));
    for (const std::string& name : names)
        EXPECT_EQ(test::PictureSizeOf(Root() + "/S/S/" + name), std::make_pair(80, 60)) << name;
}

// A view whose owner thread waits for the run's wakes.
class WaitingView : public BatchRunView {
public:
    std::vector<std::string> sources;
    FileSettings settings;

    bool StartFile(int32_t index, TListe_File& entry, FileSettings& file) override {
        if (index >= static_cast<int32_t>(sources.size())) return false;
        entry.FullName = sources[static_cast<std::size_t>(index)];
        DeriveEntryNames(entry);
        file = settings;
        return true;
    }
    void FileDone(int32_t, const TListe_File&, const FileResult&, int32_t) override {}
    void Wake() override {
        const std::lock_guard<std::mutex> lock(mutex_);
        woken_ = true;
        woke_.notify_one();
    }
    void WaitForWake() {
        std::unique_lock<std::mutex> lock(mutex_);
        woke_.wait_for(lock, std::chrono::milliseconds(100), [this] { return woken_; });
        woken_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable woke_;
    bool woken_ = false;
};

TEST(BatchRunMemory, WorkersWithoutAFileGiveBackWhatTheyKept) {
    test::TempFolder temp;
    WaitingView view;
    for (int i = 0; i < 4; ++i)
        view.sources.push_back(
            temp.WriteFile("K/p" + std::to_string(i) + ".jpg",
                           test::MakeJpeg(test::Progressive(Options(800, 600)))));
    RunControl control;
    BatchRunOptions options;
    options.jobs = 2;
    BatchRun run(static_cast<int32_t>(view.sources.size()), options, control, view);
    while (!run.Pump()) view.WaitForWake();
    EXPECT_EQ(run.Written(), 4);
    // The run object still stands, as the window's does while a box is up: its idle
    // workers let go of their memory all the same.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (run.MemoryInUse() != 0 && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(run.MemoryInUse(), 0u);
}

}  // namespace
}  // namespace pixmora
