// Output sizes: the ratio as before, and the box applied to the picture as it is shown.
#include "engine/run/target_size.h"

#include <gtest/gtest.h>

namespace pixmora {
namespace {

FileSettings Fit(int32_t width, int32_t height) {
    FileSettings settings;
    settings.fit_width = width;
    settings.fit_height = height;
    return settings;
}

TEST(TargetSize, TheBoxHoldsThePictureAsShownWithItsProportions) {
    struct Row {
        const char* name;
        int32_t width, height;  // stored
        int orientation;
        int32_t box_width, box_height;
        int32_t want_width, want_height;  // stored
    };
    const Row rows[] = {
        {"landscape", 4000, 3000, 0, 1600, 1600, 1600, 1200},
        {"portrait", 3000, 4000, 1, 1600, 1600, 1200, 1600},
        {"height limits a wide box", 4000, 3000, 0, 1600, 900, 1200, 900},
        {"same proportions as the box", 4000, 3000, 0, 400, 300, 400, 300},
        // Shown 3000 x 4000 in a 1600 x 1000 box: 750 x 1000, stored the other way round.
        {"orientation 6", 4000, 3000, 6, 1600, 1000, 1000, 750},
        {"orientation 8", 4000, 3000, 8, 1600, 1000, 1000, 750},
        {"orientation 5", 4000, 3000, 5, 1600, 1000, 1000, 750},
        {"orientation 3 does not turn", 4000, 3000, 3, 1600, 1000, 1333, 1000},
        {"already inside: not enlarged", 800, 600, 0, 1600, 1600, 800, 600},
        {"exactly the box", 1600, 1200, 0, 1600, 1200, 1600, 1200},
        {"one side inside, the other not", 1000, 2000, 0, 1600, 1600, 800, 1600},
        {"inside once turned", 1200, 1600, 6, 1600, 1200, 1200, 1600},
        {"a side under one pixel stays one", 4000, 10, 0, 100, 100, 100, 1},
        {"a tall sliver", 3, 9000, 0, 100, 100, 1, 100},
        {"halves round up", 1000, 333, 0, 500, 500, 500, 167},
        {"below a half rounds down", 1000, 331, 0, 500, 500, 500, 166},
        {"largest sides", 65500, 65499, 0, 1, 65500, 1, 1},
        {"a picture without pixels", 0, 0, 0, 100, 100, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PictureSize size =
            TargetSize(Fit(row.box_width, row.box_height), row.width, row.height, row.orientation);
        EXPECT_EQ(size.width, row.want_width);
        EXPECT_EQ(size.height, row.want_height);
    }
}

TEST(TargetSize, WithoutABoxTheRatioScalesAsBefore) {
    FileSettings settings;
    settings.ratio = 140;
    // Rounded once from extended precision, whatever the orientation.
    const PictureSize size = TargetSize(settings, 10245, 3, 6);
    EXPECT_EQ(size.width, 14343);
    EXPECT_EQ(size.height, 4);
    settings.ratio = 50;
    const PictureSize small = TargetSize(settings, 1, 7, 0);
    EXPECT_EQ(small.width, 0);
    EXPECT_EQ(small.height, 3);
}

}  // namespace
}  // namespace pixmora
