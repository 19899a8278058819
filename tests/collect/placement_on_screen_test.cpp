// Bringing a window rectangle that no screen shows back into view.
#include <gtest/gtest.h>

#include <ostream>

#include "collect/placement_on_screen.h"

namespace pixmora {

void PrintTo(const PlacementRect& r, std::ostream* out) {
    *out << r.left << "," << r.top << "," << r.right << "," << r.bottom;
}

namespace {

TEST(BringOntoScreens, MovesOnlyRectanglesOffEveryScreen) {
    const std::vector<PlacementRect> screens = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    struct Case {
        PlacementRect rect;
        PlacementRect expected;
    };
    const Case cases[] = {
        {{100, 40, 600, 587}, {100, 40, 600, 587}},           // on the first screen
        {{3100, 900, 3700, 1500}, {3100, 900, 3700, 1500}},   // a corner still on screen
        {{-499, 10, 1, 510}, {-499, 10, 1, 510}},             // one column visible
        {{-500, 10, 0, 510}, {0, 10, 500, 510}},              // just off the left edge
        {{4000, 100, 4600, 700}, {2600, 100, 3200, 700}},     // right of the second screen
        {{2200, 1200, 2800, 1800}, {2200, 424, 2800, 1024}},  // below the second screen
        {{2000, 1200, 2600, 1800}, {1320, 480, 1920, 1080}},  // nearer the first screen
        {{-9000, -9000, -8000, -8000}, {0, 0, 1000, 1000}},
        {{5000, 0, 9000, 3000}, {1920, 0, 5920, 3000}},  // larger than the nearest screen
    };
    for (const Case& c : cases) {
        const PlacementRect moved = BringOntoScreens(c.rect, screens);
        EXPECT_EQ(moved, c.expected) << c.rect.left << "," << c.rect.top;
    }
    const PlacementRect lost{5000, 5000, 5100, 5100};
    EXPECT_EQ(BringOntoScreens(lost, {}), lost);
}

}  // namespace
}  // namespace pixmora
