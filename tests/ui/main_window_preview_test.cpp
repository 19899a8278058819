// The preview made off the window's thread: arrowing down a list of large photos ends with
// the last line, the picture and its figures always change together, a result that comes
// after a newer request is ignored, Clear list and closing the window leave no preview to
// come.
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "engine/codec/jpeg_errors.h"
#include "engine/text/number_text.h"
#include "support/jpeg_maker.h"
#include "tests/engine/picture_size.h"
#include "tests/ui/qt_printing.h"
#include "tests/ui/window_harness.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora {
namespace {

using test::WindowTest;
using test::WritePhoto;

// How long the preview's thread is given to post a result of a small photo.
constexpr auto kPostTime = std::chrono::milliseconds(300);

class Preview : public WindowTest {
protected:
    void SetUp() override {
        ShowEmpty();
        window->EDT_Ratio->SetText("50");
    }

    // The six figures a preview of `photo` at 50 % shows.
    std::vector<std::string> FiguresOf(const std::string& photo) const {
        const auto [width, height] = test::PictureSizeOf(photo);
        return {"Width : " + std::to_string(width),
                "Height : " + std::to_string(height),
                SizeText(photo),
                "Width : " + std::to_string(width / 2),
                "Height : " + std::to_string(height / 2),
                SizeText(home.DataDir() + "jpg_tmp.jpg")};
    }
    // The size the box shows a w x h photo at.
    QSize FitOf(int width, int height) const {
        const QSize box = window->IMG_Source->size();
        return FitPicture(width, height, box.width(), box.height()).size();
    }
    // Whether the picture shown is the one of the width and height the figures give.
    bool PictureMatchesFigures() const {
        const QString width = window->LBL_Width->text().mid(8);
        const QString height = window->LBL_Height->text().mid(9);
        return window->IMG_Source->Picture().size() == FitOf(width.toInt(), height.toInt());
    }
    // Asks for the preview of `line` as a click does, handling no event: its result is
    // taken only when events are handled next.
    void PreviewWithoutEvents(int line) {
        window->SelectItem(line);
        window->LBX_FileClick();
    }
};

TEST_F(Preview, FastArrowingEndsWithTheLastLinesPictureAndFigures) {
    // Large photos, each of its own proportions, so that a picture tells its line.
    std::vector<std::string> files;
    for (int i = 0; i < 12; ++i) {
        files.push_back(
            WritePhoto(photos, "p" + std::to_string(i) + ".jpg", 2000 + 160 * i, 1500 - 40 * i));
    }
    Drop(files);
    ASSERT_EQ(Labels(), FiguresOf(files[0]));

    // Watched all along: the box never empties, and its picture always has its figures.
    int checks = 0;
    int mismatches = 0;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        ++checks;
        if (window->IMG_Source->Picture().isNull() || !PictureMatchesFigures()) ++mismatches;
    });
    watch.start();
    for (std::size_t i = 1; i < files.size(); ++i) {
        QTest::keyClick(window->LBX_File, Qt::Key_Down);
        QTest::qWait(10);
    }
    WaitForPreview();
    watch.stop();

    EXPECT_EQ(window->LBX_File->ItemIndex(), 11);
    EXPECT_EQ(Labels(), FiguresOf(files.back()));
    EXPECT_EQ(window->IMG_Source->Picture().size(), FitOf(2000 + 160 * 11, 1500 - 40 * 11));
    EXPECT_EQ(test::PictureSizeOf(home.DataDir() + "jpg_tmp.jpg"),
              std::make_pair((2000 + 160 * 11) / 2, (1500 - 40 * 11) / 2));
    EXPECT_GT(checks, 0);
    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(Preview, AResultThatComesAfterANewerRequestIsIgnored) {
    const std::vector<std::string> files = {WritePhoto(photos, "a.jpg", 64, 48),
                                            WritePhoto(photos, "b.jpg", 80, 30),
                                            WritePhoto(photos, "c.jpg", 4000, 3000)};
    Drop(files);
    const QImage shown = window->IMG_Source->Picture();
    ASSERT_EQ(Labels(), FiguresOf(files[0]));

    // b's result is posted while nobody handles events; c is asked for before it is taken.
    PreviewWithoutEvents(1);
    std::this_thread::sleep_for(kPostTime);
    PreviewWithoutEvents(2);
    QCoreApplication::processEvents();
    ASSERT_TRUE(window->PreviewPending()) << "c was ready sooner than a photo of its size is";
    // The box keeps a's picture and figures until c's are ready.
    EXPECT_EQ(window->IMG_Source->Picture(), shown);
    EXPECT_EQ(window->LBL_Width->text(), "Width : 64");

    WaitForPreview();
    EXPECT_EQ(Labels(), FiguresOf(files[2]));
    EXPECT_EQ(window->IMG_Source->Picture().size(), FitOf(4000, 3000));
}

TEST_F(Preview, ClearListShowsTheEmptyPreviewAtOnceAndNothingComesAfter) {
    const std::string a = WritePhoto(photos, "a.jpg", 64, 48);
    const std::string big = WritePhoto(photos, "big.jpg", 4000, 3000);
    Drop({big, a});
    // A preview posted and one under way, then Clear list.
    PreviewWithoutEvents(1);
    std::this_thread::sleep_for(kPostTime);
    PreviewWithoutEvents(0);
    QTest::mouseClick(window->BTN_Clear_Liste, Qt::LeftButton);
    const std::vector<std::string> reset = {
        "Width : ", "Height : ", "Size : ", "Width : ", "Height : ", "Size : "};
    EXPECT_FALSE(window->PreviewPending());
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(Labels(), reset);
    QTest::qWait(300);
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(Labels(), reset);
}

TEST_F(Preview, AWindowClosedWithPreviewsToComeGetsNone) {
    const std::string a = WritePhoto(photos, "a.jpg", 64, 48);
    const std::string big = WritePhoto(photos, "big.jpg", 4000, 3000);
    Drop({a, big});
    // One result posted, one preview under way: the window goes before either is taken.
    PreviewWithoutEvents(0);
    std::this_thread::sleep_for(kPostTime);
    PreviewWithoutEvents(1);
    window.reset();
    QTest::qWait(50);
    SUCCEED();
}

// A damaged file of some 600 bytes claiming 49157 x 27397 pixels: refused at load as too
// short for its picture, and the click shows why, as for any file that cannot be read.
TEST_F(Preview, AHugeDamagedHeaderFailsFastWithItsBox) {
    const std::string bytes =
        test::WithFrameSize(test::MakeJpeg(test::Progressive(test::Options(16, 16))), 49157, 27397);
    const std::string damaged = photos.WriteFile("damaged.jpg", bytes);
    Drop({damaged});
    ASSERT_TRUE(boxes.ErrorTexts().empty());
    ClickLine(0);
    EXPECT_EQ(boxes.ErrorTexts(),
              std::vector<std::string>{std::to_string(bytes.size()) +
                                       " bytes cannot hold a 49157 x 27397 picture."});
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
}

}  // namespace
}  // namespace pixmora
