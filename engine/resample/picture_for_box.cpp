// Area-averaged reduction for the picture box.
#include "engine/resample/picture_for_box.h"

#include <algorithm>
#include <vector>

namespace pixmora {

TPixelBuffer ReduceForBox(const TPixelBuffer& picture, int32_t box_width, int32_t box_height) {
    const BoxFit fit = FitInBox(picture.Width(), picture.Height(), box_width, box_height);
    if (fit.width <= 0 || fit.height <= 0 ||
        (picture.Width() <= fit.width && picture.Height() <= fit.height))
        return picture;
    const int32_t width = picture.Width();
    const int32_t height = picture.Height();
    TPixelBuffer reduced;
    reduced.SetSize(fit.width, fit.height);
    // Column spans of each box pixel, and one row of sums.
    std::vector<int32_t> first_column(static_cast<size_t>(fit.width) + 1);
    for (int32_t x = 0; x <= fit.width; ++x)
        first_column[static_cast<size_t>(x)] =
            static_cast<int32_t>(int64_t{x} * width / fit.width);
    std::vector<uint64_t> sums(static_cast<size_t>(fit.width) * 3);
    for (int32_t y = 0; y < fit.height; ++y) {
        const int32_t top = static_cast<int32_t>(int64_t{y} * height / fit.height);
        const int32_t bottom =
            std::max(top + 1, static_cast<int32_t>(int64_t{y + 1} * height / fit.height));
        std::fill(sums.begin(), sums.end(), 0);
        for (int32_t row = top; row < bottom; ++row) {
            const uint8_t* in = picture.Row(row);
            for (int32_t x = 0; x < fit.width; ++x) {
                const int32_t left = first_column[static_cast<size_t>(x)];
                const int32_t right =
                    std::max(left + 1, first_column[static_cast<size_t>(x) + 1]);
                uint64_t* sum = &sums[static_cast<size_t>(x) * 3];
                for (int32_t column = left; column < right; ++column) {
                    const uint8_t* pixel = in + static_cast<size_t>(column) * 3;
                    sum[0] += pixel[0];
                    sum[1] += pixel[1];
                    sum[2] += pixel[2];
                }
            }
        }
        uint8_t* out = reduced.Row(y);
        for (int32_t x = 0; x < fit.width; ++x) {
            const int32_t left = first_column[static_cast<size_t>(x)];
            const int32_t right = std::max(left + 1, first_column[static_cast<size_t>(x) + 1]);
            const uint64_t count = static_cast<uint64_t>(right - left) * static_cast<uint64_t>(bottom - top);
            for (int c = 0; c < 3; ++c)
                out[x * 3 + c] =
                    static_cast<uint8_t>((sums[static_cast<size_t>(x) * 3 + c] + count / 2) / count);
        }
    }
    return reduced;
}

}  // namespace pixmora
