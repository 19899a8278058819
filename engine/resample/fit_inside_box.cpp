// Fitting inside a box in whole numbers, so that the side the box limits comes out at the
// box's side exactly and the other is rounded once.
#include "engine/resample/fit_inside_box.h"

#include <algorithm>

namespace pixmora {

namespace {

// side x numerator / denominator rounded to the nearest whole number, halves up, at least 1.
int32_t ScaledSide(int32_t side, int32_t numerator, int32_t denominator) {
    const int64_t twice = 2 * int64_t{side} * numerator;
    return static_cast<int32_t>(std::max<int64_t>(1, (twice + denominator) / (2 * denominator)));
}

}  // namespace

PictureSize FitInsideBox(int32_t width, int32_t height, int32_t box_width, int32_t box_height) {
    if (width <= 0 || height <= 0 || (width <= box_width && height <= box_height))
        return {width, height};
    // The width limits when box_width / width is the smaller scale.
    if (int64_t{box_width} * height <= int64_t{box_height} * width)
        return {box_width, ScaledSide(height, box_width, width)};
    return {ScaledSide(width, box_height, height), box_height};
}

}  // namespace pixmora
