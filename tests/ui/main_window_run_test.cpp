// Runs started with the Start button, and what the user does while one goes on:
// Stop, a click on a line, Clear list, a drop, Start again, closing the window.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "engine/codec/jpeg_image.h"
#include "tests/ui/qt_printing.h"
#include "tests/ui/window_harness.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/panel_fill.h"
#include "ui/progress_fill.h"
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
    }

    // Three photos of different sizes, dropped in this order.
    void DropThree() {
        files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60),
                 WritePhoto(photos, "c.jpg", 96, 72)};
        Drop(files);
    }

    void TearDown() override { EXPECT_EQ(actions_done, actions_asked); }

    // Runs `action` once, in the events the run lets through while on line
    // `line`.
    void DuringFile(int line, std::function<void()> action) {
        ++actions_asked;
        auto fired = std::make_shared<bool>(false);
        QObject::connect(window->LBX_File, &QListWidget::currentRowChanged, Hooks(),
                         [this, line, fired, action](int row) {
                             if (row != line || !window->Running() || *fired) return;
                             *fired = true;
                             QTimer::singleShot(0, Hooks(), [this, action] {
                                 EXPECT_TRUE(window->Running());
                                 ++actions_done;
                                 action();
                             });
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
    int actions_asked = 0;
    int actions_done = 0;
};

TEST_F(WindowRun, ResizesEveryFileAndMarksItsLine) {
    DropThree();
    ClickStart();
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("111"));
    EXPECT_EQ(Status(), "processing 3 / 3");
    EXPECT_EQ(window->PGB_Progression->Text(), "100%");
    TJPEGImage last;
    last.LoadFromFile(OutputOf(files[2]));
    EXPECT_EQ(last.Width(), 48);
    EXPECT_EQ(last.Height(), 36);
    EXPECT_EQ(window->LBL_Width_New->text(), "Width : 48");
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, AnEmptyListEndsAtOnce) {
    ClickStart();
    ExpectIdle();
    EXPECT_EQ(Status(), "processing 0 / 0");
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, ARatioChangedDuringARunCountsFromTheFileInProgress) {
    DropThree();
    DuringFile(1, [this] { window->EDT_Ratio->SetText("25"); });
    ClickStart();
    const int expected_widths[] = {32, 20, 24};  // 50 % of 64, then 25 % of 80 and 96
    for (int i = 0; i < 3; ++i) {
        TJPEGImage output;
        output.LoadFromFile(OutputOf(files[i]));
        EXPECT_EQ(output.Width(), expected_widths[i]) << files[i];
    }
}

TEST_F(WindowRun, AFileThatIsNoJpegEndsTheRun) {
    files = {WritePhoto(photos, "a.jpg", 64, 48), photos.WriteFile("text.jpg", "not a picture"),
             WritePhoto(photos, "c.jpg", 96, 72)};
    Drop(files);
    bool running_under_box = false;
    boxes.WhileShown([&] { running_under_box = window->Running(); });
    ClickStart();
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"JPEG File error : " + files[1]});
    EXPECT_TRUE(running_under_box);
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("100"));
    EXPECT_EQ(Status(), "processing 1 / 3");
    EXPECT_TRUE(Exists(OutputOf(files[0])));
    EXPECT_FALSE(Exists(OutputOf(files[2])));
}

TEST_F(WindowRun, AnOutputThatCannotBeWrittenIsReportedAndTheRunGoesOn) {
    files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60)};
    const std::string locked = photos.WriteFile(
        std::filesystem::relative(OutputOf(files[0]), photos.Path()).string(), "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    Drop(files);
    ClickStart();
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"JPEG File error : " + files[0]});
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("01"));
    EXPECT_EQ(Status(), "processing 2 / 2");
    EXPECT_EQ(ReadFile(locked), "kept");
    EXPECT_TRUE(Exists(OutputOf(files[1])));
}

TEST_F(WindowRun, StopEndsTheRunAfterTheFileInProgress) {
    DropThree();
    DuringFile(1, [this] {
        QTest::mouseClick(window->BTN_Stop, Qt::LeftButton);
        // Start is usable again at once, while file 2 is still being finished.
        EXPECT_TRUE(window->Running());
        EXPECT_TRUE(window->BTN_Start->isEnabled());
        EXPECT_FALSE(window->BTN_Stop->isEnabled());
    });
    ClickStart();
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("110"));
    EXPECT_EQ(Status(), "processing 2 / 3");
    EXPECT_TRUE(Exists(OutputOf(files[1])));
    EXPECT_FALSE(Exists(OutputOf(files[2])));
}

TEST_F(WindowRun, ALineClickedDuringARunIsPreviewed) {
    DropThree();
    const std::string temporary = home.DataDir() + "jpg_tmp.jpg";
    DuringFile(1, [&] {
        ClickLine(2);
        EXPECT_EQ(window->LBL_Width->text(), "Width : 96");
        EXPECT_EQ(window->LBL_Width_New->text(), "Width : 48");
        TJPEGImage preview;
        preview.LoadFromFile(temporary);
        EXPECT_EQ(preview.Width(), 48);
    });
    ClickStart();
    ExpectIdle();
    EXPECT_EQ(ItemTexts(), Marked("111"));
    EXPECT_EQ(Status(), "processing 3 / 3");
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, ClearListDuringARunEndsIt) {
    DropThree();
    DuringFile(0, [this] { QTest::mouseClick(window->BTN_Clear_Liste, Qt::LeftButton); });
    ClickStart();
    ExpectIdle();
    EXPECT_TRUE(window->Files.empty());
    EXPECT_EQ(window->LBX_File->ItemCount(), 0);
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(Status(), "processing 0 / 3");
    for (const std::string& file : files) EXPECT_FALSE(Exists(OutputOf(file))) << file;
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(WindowRun, ADropDuringARunIsListedButNotProcessed) {
    files = {WritePhoto(photos, "a.jpg", 64, 48), WritePhoto(photos, "b.jpg", 80, 60)};
    Drop(files);
    const std::string late = WritePhoto(photos, "late.jpg", 32, 32);
    DuringFile(1, [&] { Drop({late}); });
    ClickStart();
    ExpectIdle();
    // The rebuild took the first mark away; the run went on over the two it
    // counted.
    EXPECT_EQ(ItemTexts(),
              (std::vector<std::string>{files[0] + "|0", files[1] + "|1", late + "|0"}));
    EXPECT_EQ(Status(), "processing 2 / 2");
    EXPECT_FALSE(Exists(OutputOf(late)));
}

TEST_F(WindowRun, StartClickedWhileAStoppedRunReturnsWaitsForIt) {
    DropThree();
    DuringFile(0, [this] {
        QTest::mouseClick(window->BTN_Stop, Qt::LeftButton);
        QTest::mouseClick(window->BTN_Start, Qt::LeftButton);
        // No run inside the stopping one: nothing beyond the first file has been
        // done.
        EXPECT_EQ(Status(), "processing 0 / 3");
        EXPECT_FALSE(Exists(OutputOf(files[1])));
    });
    std::vector<std::string> status_at_rebuild;
    QObject::connect(window->LBX_File->model(), &QAbstractItemModel::modelReset, Hooks(),
                     [&] { status_at_rebuild.push_back(Status()); });
    ClickStart();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !window->Running() && status_at_rebuild.size() == 2; }));
    ExpectIdle();
    // The second run began after the first had returned from its first file.
    EXPECT_EQ(status_at_rebuild.back(), "processing 1 / 3");
    EXPECT_EQ(Status(), "processing 3 / 3");
    EXPECT_EQ(ItemTexts(), Marked("111"));
}

TEST_F(WindowRun, ClosingDuringARunSavesAtOnceAndClosesWhenItReturns) {
    DropThree();
    DuringFile(0, [&] {
        EXPECT_FALSE(window->close());
        EXPECT_TRUE(window->isVisible());
        const std::vector<std::string> strings =
            test::SectionLines(ReadFile(home.SettingsFile()), "string");
        EXPECT_EQ(strings.back(), "folder=");
    });
    ClickStart();
    EXPECT_EQ(Status(), "processing 3 / 3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }));
}

}  // namespace
}  // namespace pixmora
