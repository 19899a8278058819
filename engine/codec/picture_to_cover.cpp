// Reduced decodes for picture boxes.
#include "engine/codec/picture_to_cover.h"

#include "engine/codec/jpeg_decoder.h"

namespace pixmora {

int CoveringScaleEighths(int32_t width, int32_t height, int32_t min_width, int32_t min_height) {
    for (int eighths = 1; eighths < TJPEGDecoder::kFullScale; ++eighths) {
        if (TJPEGDecoder::ScaledSize(width, eighths) >= min_width &&
            TJPEGDecoder::ScaledSize(height, eighths) >= min_height)
            return eighths;
    }
    return TJPEGDecoder::kFullScale;
}

TPixelBuffer DecodeToCover(const TJPEGImage& image, int32_t min_width, int32_t min_height) {
    return image.DecodePicture(
        CoveringScaleEighths(image.Width(), image.Height(), min_width, min_height));
}

}  // namespace pixmora
