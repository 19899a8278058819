// The picture box's reduced copy: its fitted size, and colours averaged, not picked.
#include "engine/resample/picture_for_box.h"

#include <gtest/gtest.h>

namespace pixmora {
namespace {

TPixelBuffer Filled(int32_t width, int32_t height, uint8_t left, uint8_t right) {
    TPixelBuffer picture;
    picture.SetSize(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) picture.Row(y)[x * 3 + c] = x < width / 2 ? left : right;
    return picture;
}

TEST(ReduceForBox, TakesTheFittedSizeAndKeepsAPictureThatFits) {
    const struct {
        int32_t width, height, box_width, box_height, reduced_width, reduced_height;
    } table[] = {
        {4000, 3000, 250, 160, 213, 160},  // limited by the height
        {3000, 1000, 250, 160, 250, 83},   // by the width
        {100, 60, 250, 160, 100, 60},      // already fits: kept as it is
        {5000, 10, 250, 160, 5000, 10},    // fitted to no height at all: kept as it is
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.width);
        const TPixelBuffer reduced =
            ReduceForBox(Filled(row.width, row.height, 10, 10), row.box_width, row.box_height);
        EXPECT_EQ(reduced.Width(), row.reduced_width);
        EXPECT_EQ(reduced.Height(), row.reduced_height);
        EXPECT_EQ(reduced.Row(0)[0], 10);
    }
}

TEST(ReduceForBox, AveragesTheSamplesOfEachBoxPixel) {
    // Stripes one pixel wide, black and white: picking one pixel would give 0 or 255.
    TPixelBuffer stripes;
    stripes.SetSize(800, 400);
    for (int32_t y = 0; y < 400; ++y)
        for (int32_t x = 0; x < 800; ++x)
            for (int c = 0; c < 3; ++c) stripes.Row(y)[x * 3 + c] = x % 2 ? 255 : 0;
    const TPixelBuffer reduced = ReduceForBox(stripes, 200, 100);
    ASSERT_EQ(reduced.Width(), 200);
    for (int32_t x = 0; x < 200; ++x) EXPECT_NEAR(reduced.Row(50)[x * 3], 128, 1) << x;
    // An edge stays where it was.
    const TPixelBuffer halves = ReduceForBox(Filled(800, 400, 0, 200), 200, 100);
    EXPECT_EQ(halves.Row(10)[0], 0);
    EXPECT_EQ(halves.Row(10)[199 * 3], 200);
}

}  // namespace
}  // namespace pixmora
