// The size of a file's output: its picture scaled by the ratio, or fitted inside the box
// as it is shown.
#pragma once

#include <cstdint>

#include "engine/resample/fit_inside_box.h"
#include "engine/run/file_result.h"

namespace pixmora {

// The output size of a picture stored width x height with Exif orientation orientation
// (0 when none). Without a box, ScaleDimension of each side at the ratio. With one, the
// box applies to the picture as shown: an orientation that turns it by 90 degrees (5 to
// 8) swaps the box's sides for the stored pixels, which the output keeps.
PictureSize TargetSize(const FileSettings& settings, int32_t width, int32_t height,
                       int orientation);

// Whether the settings fit into a box instead of scaling by the ratio.
inline bool FitsInBox(const FileSettings& settings) {
    return settings.fit_width > 0 && settings.fit_height > 0;
}

}  // namespace pixmora
