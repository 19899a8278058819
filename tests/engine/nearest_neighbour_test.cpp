// Which source rows and columns a nearest-neighbour stretch keeps or repeats.
#include "engine/resample/nearest_neighbour.h"

#include <vector>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

TEST(NearestSourceIndices, SpreadsKeptAndRepeatedIndicesEvenly) {
    struct Case {
        int32_t source, target;
        std::vector<int32_t> expected;
    };
    const Case cases[] = {
        {4, 4, {0, 1, 2, 3}}, {8, 4, {1, 3, 5, 7}}, {3, 6, {0, 0, 1, 1, 2, 2}},
        {5, 3, {0, 2, 4}},    {1, 3, {0, 0, 0}},    {7, 1, {3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NearestSourceIndices(c.source, c.target), c.expected)
            << c.source << " -> " << c.target;
}

TEST(NearestSourceIndices, StaysInsideTheSourceForLargeSizes) {
    const std::vector<int32_t> indices = NearestSourceIndices(65500, 131000);
    EXPECT_EQ(indices.front(), 0);
    EXPECT_EQ(indices.back(), 65499);
    const std::vector<int32_t> shrunk = NearestSourceIndices(2000000000, 3);
    EXPECT_LT(shrunk.back(), 2000000000);
}

TEST(StretchNearest, CopiesWholePixelsWithoutMixing) {
    TPixelBuffer source;
    source.SetSize(2, 2);
    const uint8_t colours[4][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            for (int c = 0; c < 3; ++c) source.Row(y)[3 * x + c] = colours[2 * y + x][c];
    TPixelBuffer target;
    target.SetSize(3, 4);
    StretchNearest(source, target);
    // Columns 0,1,1 (floor((t + 0.5) * 2 / 3)) and rows 0,0,1,1.
    const int expected_column[3] = {0, 1, 1};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(target.Row(y)[3 * x + c], colours[2 * (y / 2) + expected_column[x]][c])
                    << x << "," << y;
}

}  // namespace
}  // namespace pixmora
