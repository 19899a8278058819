// A picture as a picture box shows it: fitted into the box with its proportions kept, and
// never holding more pixels than the box paints.
#pragma once

#include <cstdint>

#include "engine/resample/pixel_buffer.h"

namespace pixmora {

struct TBoxFit {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Where a width x height picture lands in a box_width x box_height box, centred; empty for
// a picture without pixels.
TBoxFit FitInBox(int32_t width, int32_t height, int32_t box_width, int32_t box_height);

// The picture reduced to its fitted size by averaging the pixels each box pixel covers; the
// picture itself (shared) when it fits already or the box has no pixels.
TPixelBuffer ReduceForBox(const TPixelBuffer& picture, int32_t box_width, int32_t box_height);

}  // namespace pixmora
