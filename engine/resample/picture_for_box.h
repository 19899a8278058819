// A picture as a picture box shows it: fitted into the box with its proportions kept, and
// never holding more pixels than the box paints.
#pragma once

#include <cstdint>

#include "engine/resample/box_fit.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// The picture reduced to its fitted size, each box pixel the mean of up to 4 x 4 samples
// spread evenly over the pixels it covers; the
// picture itself (shared) when it fits already or the box has no pixels.
TPixelBuffer ReduceForBox(const TPixelBuffer& picture, int32_t box_width, int32_t box_height);

}  // namespace pixmora
