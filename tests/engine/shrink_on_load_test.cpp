// Which reduced decode a file gets for its target: the smallest leaving the filter at least
// a factor of 2 both ways, with libjpeg's rounding up of the reduced size.
#include "engine/resample/shrink_on_load.h"

#include <gtest/gtest.h>

namespace pixmora {
namespace {

TEST(ShrinkOnLoad, TheSmallestDecodeStillTwiceTheTarget) {
    struct Case {
        const char* name;
        int source_width, source_height, width, height;
        int eighths;
    };
    const Case cases[] = {
        {"a photo at 25 %", 5640, 3172, 1410, 793, 4},
        {"at 50 %: no reduced decode", 5640, 3172, 2820, 1586, 8},
        {"just over a half", 1000, 1000, 501, 500, 8},
        {"a quarter: a half decoded", 1000, 1000, 250, 250, 4},
        {"an eighth: a quarter decoded", 1000, 1000, 125, 125, 2},
        {"a sixteenth: an eighth decoded", 1000, 1000, 62, 62, 1},
        {"thumbnail", 4000, 3000, 160, 120, 1},
        {"enlarged", 640, 480, 1280, 960, 8},
        {"same size", 640, 480, 640, 480, 8},
        // 203 x 151 at a half: 102 x 76, libjpeg rounding up.
        {"rounded up sizes count", 203, 151, 50, 37, 4},
        {"rounded up, exactly twice", 203, 151, 51, 38, 4},
        {"rounded up, one pixel over", 203, 151, 52, 38, 8},
        {"the height decides", 1000, 100, 100, 20, 4},
        {"the width decides", 100, 1000, 20, 100, 4},
        {"one pixel sides", 1, 1, 1, 1, 8},
        {"to one pixel", 800, 1, 1, 1, 8},
        {"to one pixel, both sides long", 800, 600, 1, 1, 1},
        {"no pixels", 800, 600, 0, 300, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShrinkOnLoadEighths(c.source_width, c.source_height, c.width, c.height),
                  c.eighths);
    }
}

}  // namespace
}  // namespace pixmora
