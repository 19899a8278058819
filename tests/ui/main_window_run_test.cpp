// Runs started with the Start button, resized by two workers, and what the user does while
// one goes on: Stop, a click on a line, Clear list, a drop, Start again, closing the window.
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "engine/codec/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "tests/ui/qt_printing.h"
#include "tests/ui/window_harness.h"
#include "ui/browse_edit.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/panel_fill.h"
#include "ui/progress_fill.h"
#include "ui/radio_button.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::WindowTest;
using test::WritePhoto;

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class WindowRun : public WindowTest {
protected:
    void SetUp() override {
        ShowEmpty();
        window->EDT_Ratio->SetText("50");
        window->RunJobs = 2;
        QObject::connect(window->LBX_File->model(), &QAbstractItemModel::dataChanged, Hooks(),
                         [this](const QModelIndex& first) {
                             const std::string text =
                                 window->LBX_File->ItemText(first.row()).toStdString();
                             if (text.size() > 2 && text.compare(text.size() - 2, 2, "|1") == 0)
                                 marked_rows.push_back(first.row());
                         });
    }

    // Five photos; the second and third take long, so that when the first is done the
    // third is started beside the second, and nothing else until one of them is done. (A
    // small third could be done, and the fourth started, before the first is shown.)
    void DropFiveWithSlowSecondAndThird() {
        files = {WritePhoto(photos, "a.jpg", 64, 48), WriteSlowPhoto("b.jpg"),
                 WriteSlowPhoto("c.jpg"), WritePhoto(photos, "d.jpg", 80, 60),
                 WritePhoto(photos, "e.jpg", 32, 24)};
        Drop(files);
    }

    // A photo that takes a while to decode: progressive and large.
    std::string WriteSlowPhoto(const std::string& relative) {
        return photos.WriteFile(relative,
                                test::MakeJpeg(test::Progressive(test::Options(2400, 1800))));
    }

    // Three photos of different sizes, dropped in this order.
    void DropThree() {
        files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60),
                 WritePhoto(photos, "c.jpg", 96, 72)};
        Drop(files);
    }

    void TearDown() override { EXPECT_EQ(actions_done, actions_asked); }

    // Runs `action` once, as soon as the run marks line `line` as done: before it starts
    // another file.
    void AfterFile(int line, std::function<void()> action) {
        ++actions_asked;
        auto fired = std::make_shared<bool>(false);
        QObject::connect(window->LBX_File->model(), &QAbstractItemModel::dataChanged, Hooks(),
                         [this, line, fired, action](const QModelIndex& first) {
                             if (first.row() != line || !window->Running() || *fired) return;
                             if (!window->LBX_File->ItemText(line).endsWith("|1")) return;
                             *fired = true;
                             ++actions_done;
                             action();
                         });
    }

    // The list's lines for `files` with these marks, one character each.
    std::vector<std::string> Marked(const std::string& marks) const {
        std::vector<std::string> lines;
        for (std::size_t i = 0; i < marks.size(); ++i) lines.push_back(files[i] + "|" + marks[i]);
        return lines;
    }

    std::string Status() const { return window->PNL_Process->Caption().toStdString(); }

    void ExpectIdle() const {
        EXPECT_FALSE(window->Running());
        EXPECT_TRUE(window->BTN_Start->isEnabled());
        EXPECT_FALSE(window->BTN_Stop->isEnabled());
    }

    std::vector<std::string> files;
    std::vector<int> marked_rows;  // in the order the lines were marked
    int actions_asked = 0;
    int actions_done = 0;
};

TEST_F(WindowRun, ResizesEveryFileAndMarksItsLine) {
    DropThree();
    RunToEnd();
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("111"));
    EXPECT_EQ(Status(), "processing 3 / 3");
    EXPECT_EQ(window->PGB_Progression->Text(), "100%");
    TJPEGImage last;
    last.LoadFromFile(OutputOf(files[2]));
    EXPECT_EQ(last.Width(), 48);
    EXPECT_EQ(last.Height(), 36);
    EXPECT_EQ(window->LBL_Width->text(), "Width : 96");
    EXPECT_EQ(window->LBL_Width_New->text(), "Width : 48");
    EXPECT_FALSE(window->IMG_Source->Picture().isNull());
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, AnEmptyListEndsAtOnce) {
    ClickStart();
    ExpectIdle();
    EXPECT_EQ(Status(), "processing 0 / 0");
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, LinesAreMarkedInListOrderWhenALaterFileFinishesFirst) {
    // Files 1 and 2 start together; 2 is small and done long before 1.
    files = {WritePhoto(photos, "a.jpg", 64, 48), WriteSlowPhoto("b.jpg"),
             WritePhoto(photos, "c.jpg", 32, 24), WritePhoto(photos, "d.jpg", 40, 30)};
    Drop(files);
    std::vector<std::string> statuses;
    QObject::connect(window->LBX_File->model(), &QAbstractItemModel::dataChanged, Hooks(),
                     [&] { statuses.push_back(Status()); });
    RunToEnd();
    EXPECT_EQ(marked_rows, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(ItemTexts(), Marked("1111"));
    EXPECT_EQ(Status(), "processing 4 / 4");
    // Each mark came with the count before it: the status never ran ahead of the marks.
    ASSERT_EQ(statuses.size(), 4u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(statuses[k], ProcessingText(k, 4));
    EXPECT_EQ(window->LBL_Width->text(), "Width : 40");
}

TEST_F(WindowRun, ARatioChangedDuringARunCountsFromTheNextFileStarted) {
    // Files 0 and 1 start together; when 0 is done, 2 starts, and then 0 is shown, where
    // the ratio changes; 3 starts when 1 or 2 is done. (Both are large, so that 3 cannot
    // start before 0 is shown.)
    files = {WritePhoto(photos, "a.jpg", 64, 48), WriteSlowPhoto("b.jpg"), WriteSlowPhoto("c.jpg"),
             WritePhoto(photos, "d.jpg", 80, 60)};
    Drop(files);
    AfterFile(0, [this] { window->EDT_Ratio->SetText("25"); });
    RunToEnd();
    const int expected_widths[] = {32, 1200, 1200, 20};  // 50 %, 50 %, 50 %, then 25 %
    for (int i = 0; i < 4; ++i) {
        TJPEGImage output;
        output.LoadFromFile(OutputOf(files[i]));
        EXPECT_EQ(output.Width(), expected_widths[i]) << files[i];
    }
}

TEST_F(WindowRun, AFileThatIsNoJpegSecondOfFiveEndsTheRunThere) {
    files = {WriteSlowPhoto("a.jpg"), photos.WriteFile("text.jpg", "not a picture"),
             WritePhoto(photos, "c.jpg", 32, 24), WritePhoto(photos, "d.jpg", 32, 24),
             WritePhoto(photos, "e.jpg", 32, 24)};
    Drop(files);
    bool running_under_box = false;
    boxes.WhileShown([&] { running_under_box = window->Running(); });
    RunToEnd();
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"JPEG File error : " + files[1]});
    EXPECT_TRUE(running_under_box);
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("10000"));
    EXPECT_EQ(Status(), "processing 1 / 5");
    EXPECT_TRUE(Exists(OutputOf(files[0])));
    // The small files after it were resized while the first was, but never written.
    for (int i = 2; i < 5; ++i) EXPECT_FALSE(Exists(OutputOf(files[i]))) << files[i];
    EXPECT_EQ(test::EntryNames(std::filesystem::path(OutputOf(files[0])).parent_path()),
              std::set<std::string>{"a.jpg"});
}

TEST_F(WindowRun, AnOutputThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
    files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60)};
    const std::string locked = photos.WriteFile(
        std::filesystem::relative(OutputOf(files[0]), photos.Path()).string(), "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    Drop(files);
    RunToEnd();
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"JPEG File error : " + files[0]});
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("01"));
    EXPECT_EQ(Status(), "processing 2 / 2");
    EXPECT_EQ(ReadFile(locked), "kept");
    EXPECT_TRUE(Exists(OutputOf(files[1])));
}

TEST_F(WindowRun, StopFinishesTheTwoFilesInProgressAndStartsNoOther) {
    files = {WriteSlowPhoto("a.jpg"), WriteSlowPhoto("b.jpg")};
    for (int i = 0; i < 4; ++i)
        files.push_back(WritePhoto(photos, "s" + std::to_string(i) + ".jpg", 32, 24));
    Drop(files);
    ClickStart();
    // Both workers are on the two large photos.
    QTest::mouseClick(window->BTN_Stop, Qt::LeftButton);
    EXPECT_TRUE(window->Running());
    EXPECT_TRUE(window->BTN_Start->isEnabled());
    EXPECT_FALSE(window->BTN_Stop->isEnabled());
    WaitForRunEnd();
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("110000"));
    EXPECT_EQ(Status(), "processing 2 / 6");
    TJPEGImage second;
    second.LoadFromFile(OutputOf(files[1]));
    EXPECT_EQ(second.Width(), 1200);
    for (int i = 2; i < 6; ++i) EXPECT_FALSE(Exists(OutputOf(files[i]))) << files[i];
}

TEST_F(WindowRun, ALineClickedDuringARunIsPreviewed) {
    DropFiveWithSlowSecondAndThird();
    const std::string temporary = home.DataDir() + "jpg_tmp.jpg";
    bool clicked_while_running = false;
    AfterFile(0, [&] {
        // While the large second file is still under way.
        QTimer::singleShot(0, Hooks(), [&] {
            clicked_while_running = window->Running();
            ClickLine(4);
        });
    });
    RunToEnd();
    ExpectIdle();
    EXPECT_TRUE(clicked_while_running);
    EXPECT_EQ(ItemTexts(), Marked("11111"));
    EXPECT_EQ(Status(), "processing 5 / 5");
    TJPEGImage preview;
    preview.LoadFromFile(temporary);
    EXPECT_EQ(preview.Width(), 16);
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, ClearListDuringARunStartsNothingMoreAndMarksNoLine) {
    DropFiveWithSlowSecondAndThird();
    AfterFile(0, [this] { QTest::mouseClick(window->BTN_Clear_Liste, Qt::LeftButton); });
    RunToEnd();
    ExpectIdle();
    EXPECT_TRUE(window->Files.empty());
    EXPECT_EQ(window->LBX_File->ItemCount(), 0);
    // Files 1 and 2 were in progress: they are finished and counted; no other starts.
    EXPECT_EQ(Status(), "processing 3 / 5");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Exists(OutputOf(files[i])), i < 3) << files[i];
    EXPECT_EQ(marked_rows, std::vector<int>{0});
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, ADropDuringARunIsListedButNotProcessed) {
    files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60)};
    Drop(files);
    const std::string late = WritePhoto(photos, "late.jpg", 32, 32);
    AfterFile(0, [&] { Drop({late}); });
    RunToEnd();
    ExpectIdle();
    // The rebuild took the first mark away; the run went on over the two it counted.
    EXPECT_EQ(ItemTexts(),
              (std::vector<std::string>{files[0] + "|0", files[1] + "|1", late + "|0"}));
    EXPECT_EQ(Status(), "processing 2 / 2");
    EXPECT_FALSE(Exists(OutputOf(late)));
}

TEST_F(WindowRun, OfTwoEntriesWithOneOutputTheLaterWins) {
    // Under one fixed folder both "big/Trip/p.jpg" and "small/Trip/p.jpg" go to
    // "Out/Trip/p.jpg"; the earlier and bigger one takes longer.
    const std::string out = photos.Slash() + "Out";
    std::filesystem::create_directories(out);
    files = {WriteSlowPhoto("big/Trip/p.jpg"), WritePhoto(photos, "small/Trip/p.jpg", 40, 30)};
    Drop(files);
    window->RDB_Fix_Folder->SetChecked(true);
    window->DED_Dest_Folder->SetPath(QString::fromStdString(out));
    RunToEnd();
    EXPECT_EQ(ItemTexts(), Marked("11"));
    TJPEGImage written;
    written.LoadFromFile(out + "/Trip/p.jpg");
    EXPECT_EQ(written.Width(), 20);
    EXPECT_EQ(test::EntryNames(out + "/Trip"), std::set<std::string>{"p.jpg"});
}

TEST_F(WindowRun, StartClickedWhileAStoppedRunReturnsWaitsForIt) {
    DropFiveWithSlowSecondAndThird();
    AfterFile(0, [this] {
        QTest::mouseClick(window->BTN_Stop, Qt::LeftButton);
        QTest::mouseClick(window->BTN_Start, Qt::LeftButton);
        // No run beside the stopping one: files 1 and 2 are still being finished.
        EXPECT_EQ(Status(), "processing 0 / 5");
        EXPECT_TRUE(window->Running());
    });
    std::vector<std::string> status_at_rebuild;
    QObject::connect(window->LBX_File->model(), &QAbstractItemModel::modelReset, Hooks(),
                     [&] { status_at_rebuild.push_back(Status()); });
    ClickStart();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !window->Running() && status_at_rebuild.size() == 2; }));
    ExpectIdle();
    // The second run began after the first had returned from the files it had started.
    EXPECT_EQ(status_at_rebuild.back(), "processing 3 / 5");
    EXPECT_EQ(Status(), "processing 5 / 5");
    EXPECT_EQ(ItemTexts(), Marked("11111"));
}

TEST_F(WindowRun, ClosingDuringARunSavesAtOnceFinishesTheFilesInProgressAndCloses) {
    DropFiveWithSlowSecondAndThird();
    AfterFile(0, [&] {
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->isVisible());
        const std::vector<std::string> strings =
            test::SectionLines(ReadFile(home.SettingsFile()), "string");
        EXPECT_EQ(strings.back(), "folder=");
    });
    ClickStart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
    EXPECT_FALSE(window->Running());
    EXPECT_EQ(Status(), "processing 3 / 5");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Exists(OutputOf(files[i])), i < 3) << files[i];
}

TEST_F(WindowRun, ColourProfilesOfTheSourcesReachTheirCopies) {
    // Adobe RGB in a progressive source, ProPhoto in a baseline one, a gray one on a gray
    // picture (not carried: the copy is RGB).
    const std::string adobe = ReadFile(test::ColordProfile("AdobeRGB1998.icc"));
    const std::string prophoto = ReadFile(test::ColordProfile("ProPhotoRGB.icc"));
    test::JpegOptions first = test::Progressive(test::Options(80, 60));
    first.icc_profile = adobe;
    test::JpegOptions second = test::Options(64, 48);
    second.icc_profile = prophoto;
    test::JpegOptions third = test::Options(40, 30, 1);
    third.icc_profile = ReadFile(test::GhostscriptProfile("default_gray.icc"));
    files = {photos.WriteFile("a.jpg", test::MakeJpeg(first)),
             photos.WriteFile("b.jpg", test::MakeJpeg(second)),
             photos.WriteFile("c.jpg", test::MakeJpeg(third))};
    Drop(files);
    RunToEnd();
    EXPECT_EQ(ItemTexts(), Marked("111"));
    EXPECT_EQ(test::ReadIccProfile(ReadFile(OutputOf(files[0]))), adobe);
    EXPECT_EQ(test::ReadIccProfile(ReadFile(OutputOf(files[1]))), prophoto);
    EXPECT_EQ(test::ReadIccProfile(ReadFile(OutputOf(files[2]))), "");
}

TEST_F(WindowRun, AClosingAskedBeforeAFailureBoxStillEndsTheWindow) {
    files = {WriteSlowPhoto("a.jpg"), photos.WriteFile("text.jpg", "not a picture")};
    Drop(files);
    ClickStart();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 20000));
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"JPEG File error : " + files[1]});
    EXPECT_EQ(test::SectionLines(ReadFile(home.SettingsFile()), "string").back(), "folder=");
}

}  // namespace
}  // namespace pixmora
