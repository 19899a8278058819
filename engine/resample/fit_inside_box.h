// The size of a picture shrunk to fit inside a box, its proportions kept: pixmora-batch's
// --fit.
#pragma once

#include <cstdint>

namespace pixmora {

struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
};

// A width x height picture inside a box_width x box_height box (all sides above 0): each
// side times the smaller of box_width / width and box_height / height, rounded to the
// nearest pixel (halves up) and at least 1. A picture already inside keeps its size: it is
// never enlarged. A picture without pixels keeps its size too.
PictureSize FitInsideBox(int32_t width, int32_t height, int32_t box_width, int32_t box_height);

}  // namespace pixmora
