// Moving a window rectangle that lies entirely off every screen back into view.
#include "collect/placement_on_screen.h"

#include <algorithm>
#include <cstdint>

namespace pixmora {
namespace {

bool Overlaps(const PlacementRect& a, const PlacementRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Gap between two ranges on one axis, 0 when they touch or overlap.
int64_t Gap(int64_t a_begin, int64_t a_end, int64_t b_begin, int64_t b_end) {
    if (a_end <= b_begin) return b_begin - a_end;
    if (b_end <= a_begin) return a_begin - b_end;
    return 0;
}

int64_t SquaredDistance(const PlacementRect& a, const PlacementRect& b) {
    const int64_t dx = Gap(a.left, a.right, b.left, b.right);
    const int64_t dy = Gap(a.top, a.bottom, b.top, b.bottom);
    return dx * dx + dy * dy;
}

// The start of a span of `length` pushed inside [begin, end), its start winning when the
// span is too long.
int32_t Fit(int32_t start, int32_t length, int32_t begin, int32_t end) {
    const int64_t last = static_cast<int64_t>(end) - length;
    return static_cast<int32_t>(std::max<int64_t>(begin, std::min<int64_t>(start, last)));
}

}  // namespace

PlacementRect BringOntoScreens(const PlacementRect& rect,
                               const std::vector<PlacementRect>& screens) {
    if (screens.empty()) return rect;
    for (const PlacementRect& screen : screens)
        if (Overlaps(rect, screen)) return rect;

    const PlacementRect* nearest = &screens.front();
    for (const PlacementRect& screen : screens)
        if (SquaredDistance(rect, screen) < SquaredDistance(rect, *nearest)) nearest = &screen;

    const int32_t width = rect.Width();
    const int32_t height = rect.Height();
    const int32_t left = Fit(rect.left, width, nearest->left, nearest->right);
    const int32_t top = Fit(rect.top, height, nearest->top, nearest->bottom);
    return PlacementRect{left, top, left + width, top + height};
}

}  // namespace pixmora
