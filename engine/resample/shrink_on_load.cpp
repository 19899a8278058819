// The smallest reduced decode that leaves the filter a factor of 2.
#include "engine/resample/shrink_on_load.h"

#include "engine/codec/jpeg_decoder.h"

namespace pixmora {

int ShrinkOnLoadEighths(int32_t source_width, int32_t source_height, int32_t target_width,
                        int32_t target_height) {
    if (target_width <= 0 || target_height <= 0) return TJPEGDecoder::kFullScale;
    for (const int eighths : {1, 2, 4}) {
        if (TJPEGDecoder::ScaledSize(source_width, eighths) >= int64_t{2} * target_width &&
            TJPEGDecoder::ScaledSize(source_height, eighths) >= int64_t{2} * target_height)
            return eighths;
    }
    return TJPEGDecoder::kFullScale;
}

}  // namespace pixmora
