// Where a picture goes in a picture box that shows it whole: fitted with its proportions
// kept, enlarged too, centred.
#pragma once

#include <cstdint>

namespace pixmora {

struct BoxFit {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// A width x height picture fitted into a box_width x box_height box; all zero when there is
// no picture.
BoxFit FitInBox(int32_t width, int32_t height, int32_t box_width, int32_t box_height);

}  // namespace pixmora
