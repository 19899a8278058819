// Reduced decodes for picture boxes.
#include "engine/picture_to_cover.h"

#include "engine/jpeg_decoder.h"

namespace pixmora {

int CoveringScaleEighths(int32_t width, int32_t height, int32_t min_width, int32_t min_height) {
    for (int eighths = 1; eighths < TJPEGDecoder::kFullScale; ++eighths) {
        // libjpeg rounds a scaled dimension up.
        const int64_t scaled_width = (int64_t{width} * eighths + 7) / 8;
        const int64_t scaled_height = (int64_t{height} * eighths + 7) / 8;
        if (scaled_width >= min_width && scaled_height >= min_height) return eighths;
    }
    return TJPEGDecoder::kFullScale;
}

TPixelBuffer DecodeToCover(const TJPEGImage& image, int32_t min_width, int32_t min_height) {
    return image.DecodePicture(
        CoveringScaleEighths(image.Width(), image.Height(), min_width, min_height));
}

}  // namespace pixmora
