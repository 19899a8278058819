// The reduction for the picture box: each box pixel the mean of a few evenly spread samples.
#include "engine/resample/picture_for_box.h"

#include <algorithm>
#include <vector>

namespace pixmora {

namespace {

// Samples taken along each side of a box pixel: enough to smooth the reduction, few
// enough that it costs next to nothing beside the picture's own decoding.
constexpr int32_t kSamplesPerSide = 4;

// The source positions sampled for each of count target positions over length.
std::vector<int32_t> SamplePositions(int32_t length, int32_t count, int32_t samples) {
    std::vector<int32_t> positions(static_cast<size_t>(count) * samples);
    for (int32_t i = 0; i < count; ++i)
        for (int32_t k = 0; k < samples; ++k)
            positions[static_cast<size_t>(i) * samples + k] = static_cast<int32_t>(
                std::min<int64_t>(length - 1, ((int64_t{i} * samples + k) * 2 * length + length) /
                                                  (int64_t{count} * samples * 2)));
    return positions;
}

}  // namespace

TPixelBuffer ReduceForBox(const TPixelBuffer& picture, int32_t box_width, int32_t box_height) {
    const BoxFit fit = FitInBox(picture.Width(), picture.Height(), box_width, box_height);
    if (fit.width <= 0 || fit.height <= 0 ||
        (picture.Width() <= fit.width && picture.Height() <= fit.height))
        return picture;
    const int32_t across = std::min(kSamplesPerSide, std::max(1, picture.Width() / fit.width));
    const int32_t down = std::min(kSamplesPerSide, std::max(1, picture.Height() / fit.height));
    const std::vector<int32_t> columns = SamplePositions(picture.Width(), fit.width, across);
    const std::vector<int32_t> rows = SamplePositions(picture.Height(), fit.height, down);
    const uint32_t count = static_cast<uint32_t>(across * down);
    TPixelBuffer reduced;
    reduced.SetSize(fit.width, fit.height);
    for (int32_t y = 0; y < fit.height; ++y) {
        uint8_t* out = reduced.Row(y);
        for (int32_t x = 0; x < fit.width; ++x) {
            uint32_t sum[3] = {0, 0, 0};
            for (int32_t j = 0; j < down; ++j) {
                const uint8_t* in = picture.Row(rows[static_cast<size_t>(y) * down + j]);
                for (int32_t i = 0; i < across; ++i) {
                    const uint8_t* pixel =
                        in + static_cast<size_t>(columns[static_cast<size_t>(x) * across + i]) * 3;
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                }
            }
            for (int c = 0; c < 3; ++c)
                out[x * 3 + c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
        }
    }
    return reduced;
}

}  // namespace pixmora
