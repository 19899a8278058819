// Bringing back a stored window rectangle that no screen shows any more (a monitor
// unplugged, a smaller screen).
#pragma once

#include <vector>

#include "collect/window_placement.h"

namespace pixmora {

// `rect` unchanged when it overlaps at least one of `screens`; otherwise moved, size kept,
// into the nearest screen (the first of equally near ones), its top-left corner kept on that
// screen when the rectangle is larger than it. With no screens, unchanged.
PlacementRect BringOntoScreens(const PlacementRect& rect,
                               const std::vector<PlacementRect>& screens);

}  // namespace pixmora
