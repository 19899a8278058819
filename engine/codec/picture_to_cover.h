// The smallest decode of a JPEG picture that still covers a given size: what a picture box
// needs to show a photo much larger than itself without paying for a full-size decode.
#pragma once

#include <cstdint>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// The scale, in eighths of the full size (1 to 8), of the smallest decode of a width x height
// picture that is at least min_width x min_height.
int CoveringScaleEighths(int32_t width, int32_t height, int32_t min_width, int32_t min_height);

// The image decoded at CoveringScaleEighths. Throws as TJPEGImage::DecodePicture.
TPixelBuffer DecodeToCover(const TJPEGImage& image, int32_t min_width, int32_t min_height);

}  // namespace pixmora
