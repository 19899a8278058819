// The batch run over real small JPEG files, watched through a recording view.
#include "engine/run/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_image.h"
#include "engine/text/number_text.h"
#include "recording_view.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"
#include "tests/engine/picture_size.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;

class BatchRunTest : public ::testing::Test {
protected:
    // Writes a JPEG of the given size below the temporary folder and lists it.
    std::string AddJpeg(const std::string& relative, int width, int height) {
        test::JpegOptions options;
        options.width = width;
        options.height = height;
        const std::string path = temp_.WriteFile(relative, test::MakeJpeg(options));
        AddListed(path);
        return path;
    }
    void AddListed(const std::string& path) {
        TListe_File entry;
        entry.FullName = path;
        files_.push_back(entry);
    }
    std::string Root() const { return temp_.Path().string(); }

    test::TempFolder temp_;
    std::vector<TListe_File> files_;
    RunState state_;
    test::RecordingView view_{files_};
};

TEST_F(BatchRunTest, ResizesEveryFileIntoItsSubFolderAndShowsEachStep) {
    const std::string a = AddJpeg("Trip/a.jpg", 64, 48);
    const std::string b = AddJpeg("Trip/b.jpeg", 100, 30);
    const std::string size_a = SizeText(a);
    RunBatch(files_, state_, view_);

    const std::string out_a = Root() + "/Trip/Trip/a.jpg";
    const std::string out_b = Root() + "/Trip/Trip/b.jpeg";
    const std::vector<std::string> first_file = {"start off",
                                                 "stop on",
                                                 "refresh",
                                                 "status processing 0 / 2",
                                                 "progress max 2",
                                                 "progress 0",
                                                 "repaint progress",
                                                 "select 0",
                                                 "clear picture",
                                                 "show 64x48",
                                                 "events",
                                                 "width = Width : 64",
                                                 "height = Height : 48",
                                                 "size = " + size_a,
                                                 "line 0 " + a + "|1",
                                                 "width new = Width : 32",
                                                 "height new = Height : 24",
                                                 "size new = " + SizeText(out_a),
                                                 "progress 1",
                                                 "status processing 1 / 2"};
    ASSERT_GE(view_.calls.size(), first_file.size());
    EXPECT_EQ(
        std::vector<std::string>(view_.calls.begin(), view_.calls.begin() + first_file.size()),
        first_file);
    const std::vector<std::string> ending = {"line 1 " + b + "|1",
                                             "width new = Width : 50",
                                             "height new = Height : 15",
                                             "size new = " + SizeText(out_b),
                                             "progress 2",
                                             "status processing 2 / 2",
                                             "start on",
                                             "stop off"};
    EXPECT_EQ(std::vector<std::string>(view_.calls.end() - ending.size(), view_.calls.end()),
              ending);

    EXPECT_EQ(test::PictureSizeOf(out_a), std::make_pair(32, 24));
    EXPECT_EQ(test::PictureSizeOf(out_b), std::make_pair(50, 15));
    EXPECT_TRUE(view_.failures.empty());
    EXPECT_EQ(state_.FileCount, 2);
    EXPECT_EQ(view_.lines, (std::vector<std::string>{a + "|1", b + "|1"}));
}

TEST_F(BatchRunTest, FixedFolderAndRatioAreReadForEachFile) {
    AddJpeg("Trip/a.jpg", 40, 40);
    AddJpeg("Trip/b.jpg", 40, 40);
    fs::create_directory(Root() + "/Out");
    view_.on_events = [this](int handling) {
        if (handling == 1) {  // before the second file is resized and saved
            view_.ratio = 25;
            view_.fixed_mode = true;
            view_.fixed_folder = Root() + "/Out";
        }
    };
    RunBatch(files_, state_, view_);
    EXPECT_EQ(test::PictureSizeOf(Root() + "/Trip/Trip/a.jpg"), std::make_pair(20, 20));
    EXPECT_EQ(test::PictureSizeOf(Root() + "/Out/Trip/b.jpg"), std::make_pair(10, 10));
    EXPECT_FALSE(fs::exists(Root() + "/Trip/Trip/b.jpg"));
}

TEST_F(BatchRunTest, StopEndsTheRunAfterTheFileInProgress) {
    for (int i = 0; i < 5; ++i) AddJpeg("S/f" + std::to_string(i) + ".jpg", 16, 16);
    view_.on_events = [this](int handling) {
        if (handling == 1) StopRun(state_, view_);  // during file 2 of 5
    };
    RunBatch(files_, state_, view_);
    EXPECT_EQ(view_.status, "processing 2 / 5");
    EXPECT_EQ(view_.progress_value, 2);
    EXPECT_TRUE(fs::exists(Root() + "/S/S/f1.jpg"));
    EXPECT_FALSE(fs::exists(Root() + "/S/S/f2.jpg"));
    EXPECT_EQ(view_.lines[1], files_[1].FullName + "|1");
    EXPECT_EQ(view_.lines[2], files_[2].FullName + "|0");
    EXPECT_TRUE(view_.start_enabled);
    EXPECT_FALSE(view_.stop_enabled);
    EXPECT_TRUE(state_.StopRequested);
}

TEST_F(BatchRunTest, AFileThatIsNotAJpegEndsTheRun) {
    AddJpeg("T/a.jpg", 16, 16);
    AddListed(temp_.WriteFile("T/notes.jpg", "just some text"));
    AddJpeg("T/c.jpg", 16, 16);
    RunBatch(files_, state_, view_);
    EXPECT_EQ(view_.failures, std::vector<std::string>{"JPEG File error : " + files_[1].FullName});
    EXPECT_EQ(view_.status, "processing 1 / 3");
    EXPECT_FALSE(fs::exists(Root() + "/T/T/notes.jpg"));
    EXPECT_FALSE(fs::exists(Root() + "/T/T/c.jpg"));
    EXPECT_TRUE(view_.start_enabled);
    EXPECT_FALSE(view_.stop_enabled);
}

TEST_F(BatchRunTest, AFailedSaveIsReportedAndTheRunGoesOn) {
    AddJpeg("R/a.jpg", 16, 16);
    AddJpeg("R/b.jpg", 16, 16);
    const std::string locked = temp_.WriteFile("R/R/a.jpg", "keep me");
    ::chmod(locked.c_str(), 0444);
    RunBatch(files_, state_, view_);
    EXPECT_EQ(view_.failures, std::vector<std::string>{"JPEG File error : " + files_[0].FullName});
    EXPECT_EQ(test::ReadFile(locked), "keep me");
    EXPECT_EQ(view_.lines[0], files_[0].FullName + "|0");
    EXPECT_EQ(view_.lines[1], files_[1].FullName + "|1");
    // The after size is that of what stands at the output path.
    const auto first_size = std::find_if(view_.calls.begin(), view_.calls.end(), [](const auto& c) {
        return c.rfind("size new = ", 0) == 0;
    });
    ASSERT_NE(first_size, view_.calls.end());
    EXPECT_EQ(*first_size, "size new = " + SizeText(locked));
    EXPECT_EQ(view_.status, "processing 2 / 2");
}

TEST_F(BatchRunTest, AnEncoderRefusalIsReportedAndTheRunGoesOn) {
    // 200 % of 40000 x 100 asks for 80000 pixels in a row, more than a JPEG file can hold.
    const std::string wide =
        temp_.WriteFile("W/wide.jpg", test::MakeJpeg(test::Plain(test::Options(40000, 100))));
    AddListed(wide);
    AddJpeg("W/b.jpg", 16, 16);
    view_.ratio = 200;
    RunBatch(files_, state_, view_);
    EXPECT_EQ(view_.failures, std::vector<std::string>{"JPEG File error : " + wide});
    EXPECT_FALSE(fs::exists(Root() + "/W/W/wide.jpg"));
    EXPECT_EQ(view_.lines[0], wide + "|0");
    EXPECT_EQ(view_.lines[1], files_[1].FullName + "|1");
    const auto has = [&](const std::string& call) {
        return std::find(view_.calls.begin(), view_.calls.end(), call) != view_.calls.end();
    };
    EXPECT_TRUE(has("width new = Width : 80000"));
    EXPECT_TRUE(has("height new = Height : 200"));
    EXPECT_TRUE(has("size new = " + SizeText(Root() + "/W/W/wide.jpg")));  // 0.000
    EXPECT_EQ(view_.status, "processing 2 / 2");
}

TEST_F(BatchRunTest, NeverReplacesASourceByItsOwnOutput) {
    // A fixed folder that is the parent of the source folder names the source itself.
    const std::string a = AddJpeg("Trip/a.jpg", 40, 40);
    AddJpeg("Trip/b.jpg", 40, 40);
    const std::string before = test::ReadFile(a);
    view_.fixed_mode = true;
    view_.fixed_folder = Root();
    RunBatch(files_, state_, view_);
    EXPECT_EQ(test::ReadFile(a), before);
    EXPECT_EQ(view_.failures.size(), 2u);
    EXPECT_EQ(view_.failures[0], "JPEG File error : " + a);
    EXPECT_EQ(view_.lines[0], a + "|0");
    EXPECT_EQ(view_.status, "processing 2 / 2");
    // Nothing but the two sources and no leftover temporary file.
    std::size_t entries = 0;
    for (const auto& item : fs::directory_iterator(Root() + "/Trip")) {
        (void)item;
        ++entries;
    }
    EXPECT_EQ(entries, 2u);
}

TEST_F(BatchRunTest, EndsQuietlyWhenTheListIsClearedDuringEvents) {
    AddJpeg("C/a.jpg", 16, 16);
    AddJpeg("C/b.jpg", 16, 16);
    view_.on_events = [this](int) { files_.clear(); };
    RunBatch(files_, state_, view_);
    EXPECT_TRUE(view_.failures.empty());
    EXPECT_FALSE(fs::exists(Root() + "/C/C"));
    EXPECT_EQ(view_.status, "processing 0 / 2");
    EXPECT_TRUE(view_.start_enabled);
}

TEST_F(BatchRunTest, TargetsWithoutPixelsFailAndEndTheRun) {
    struct Row {
        int ratio;
        int width;
        int height;
    };
    // 0 %, one dimension rounding to 0 (1 % of 150 x 80), and a negative ratio.
    for (const Row& row : {Row{0, 40, 40}, Row{1, 150, 80}, Row{-50, 40, 30}}) {
        SCOPED_TRACE(row.ratio);
        files_.clear();
        view_.failures.clear();
        const std::string a = AddJpeg("Z/a.jpg", row.width, row.height);
        AddJpeg("Z/b.jpg", 16, 16);
        view_.ratio = row.ratio;
        RunBatch(files_, state_, view_);
        EXPECT_EQ(view_.failures, std::vector<std::string>{"JPEG File error : " + a});
        EXPECT_FALSE(fs::exists(Root() + "/Z/Z/a.jpg"));  // no empty file written
        EXPECT_FALSE(fs::exists(Root() + "/Z/Z/b.jpg"));
        EXPECT_EQ(view_.lines[0], a + "|0");
        EXPECT_EQ(view_.status, "processing 0 / 2");
    }
}

TEST_F(BatchRunTest, AnEmptyListTouchesNothing) {
    RunBatch(files_, state_, view_);
    EXPECT_EQ(view_.calls,
              (std::vector<std::string>{"start off", "stop on", "refresh",
                                        "status processing 0 / 0", "progress max 0", "progress 0",
                                        "repaint progress", "start on", "stop off"}));
}

}  // namespace
}  // namespace pixmora
