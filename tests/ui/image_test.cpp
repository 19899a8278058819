// Picture boxes: where a picture goes when fitted into the preview area.
#include <gtest/gtest.h>

#include "tests/ui/qt_printing.h"
#include "ui/image.h"

namespace pixmora {
namespace {

TEST(ImageTest, FitsPicturesIntoThePreviewArea) {
    const struct {
        int w, h;
        QRect drawn;
    } cases[] = {
        {1000, 500, {0, 7, 254, 127}},
        {100, 200, {91, 0, 71, 142}},
        {254, 142, {0, 0, 254, 142}},
        {100, 100, {56, 0, 142, 142}},  // square: by the height, enlarged
        {3000, 100, {0, 67, 254, 8}},
        {10, 1000, {126, 0, 1, 142}},
        {300, 200, {20, 0, 213, 142}},  // wide but too tall at full width
        {16, 9, {0, 0, 254, 142}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        EXPECT_EQ(FitPicture(c.w, c.h, 254, 142), c.drawn);
    }
}

TEST(ImageTest, NoPictureClearsTheBox) {
    TImage box;
    box.resize(254, 142);
    QImage picture(1000, 500, QImage::Format_RGB32);
    picture.fill(Qt::red);
    box.SetPicture(picture);
    EXPECT_EQ(box.PictureRect(), QRect(0, 7, 254, 127));
    box.Clear();
    EXPECT_TRUE(box.Picture().isNull());
    EXPECT_TRUE(box.PictureRect().isEmpty());
}

}  // namespace
}  // namespace pixmora
