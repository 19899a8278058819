// Target sizes of one dimension: truncation of a double ratio, extended-precision product.
#include "engine/resample/scale_dimension.h"

#include <gtest/gtest.h>

namespace pixmora {
namespace {

struct ScaleCase {
    int32_t dimension;
    int32_t ratio_percent;
    int32_t expected;
};

TEST(ScaleDimension, TruncatesTheProductLikeTheResizeStep) {
    const ScaleCase cases[] = {
        {100, 29, 28},    {100, 57, 56},   {100, 58, 57},       {100, 113, 112},
        {100, 114, 113},  {100, 115, 114}, {100, 116, 115},     {4000, 50, 2000},
        {3000, 50, 1500}, {150, 1, 1},     {80, 1, 0},          {400, -50, -200},
        {1, -50, 0},      {100, 0, 0},     {10245, 140, 14343},  // extended precision
    };
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(ScaleDimension(c.dimension, c.ratio_percent / 100.0), c.expected)
            << c.dimension << " at " << c.ratio_percent << " %";
    }
}

TEST(ScaleDimension, LargeProductsWrapToThirtyTwoBits) {
    // 65500 x 40000 = 2 620 000 000 does not fit a signed 32-bit integer.
    EXPECT_EQ(ScaleDimension(65500, 4000000 / 100.0), static_cast<int32_t>(2620000000u));
    EXPECT_EQ(ScaleDimension(2147483647, 2.0), -2);
}

}  // namespace
}  // namespace pixmora
