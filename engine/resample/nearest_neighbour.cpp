// Whole-picture nearest-neighbour stretch.
#include "engine/resample/nearest_neighbour.h"

#include <cstring>

namespace pixmora {

std::vector<int32_t> NearestSourceIndices(int32_t source_size, int32_t target_size) {
    std::vector<int32_t> indices(static_cast<size_t>(target_size));
    for (int32_t t = 0; t < target_size; ++t)
        indices[static_cast<size_t>(t)] = NearestSourceIndex(t, source_size, target_size);
    return indices;
}

void StretchNearest(const TPixelBuffer& source, TPixelBuffer& target) {
    const std::vector<int32_t> columns = NearestSourceIndices(source.Width(), target.Width());
    const size_t row_bytes = static_cast<size_t>(target.Width()) * TPixelBuffer::kBytesPerPixel;
    int32_t previous_source_row = -1;
    for (int32_t y = 0; y < target.Height(); ++y) {
        const int32_t source_row = NearestSourceIndex(y, source.Height(), target.Height());
        uint8_t* out = target.Row(y);
        if (source_row == previous_source_row) {
            std::memcpy(out, target.Row(y - 1), row_bytes);
            continue;
        }
        previous_source_row = source_row;
        const uint8_t* in = source.Row(source_row);
        for (int32_t x = 0; x < target.Width(); ++x) {
            const uint8_t* pixel = in + static_cast<size_t>(columns[static_cast<size_t>(x)]) * 3;
            out[3 * x] = pixel[0];
            out[3 * x + 1] = pixel[1];
            out[3 * x + 2] = pixel[2];
        }
    }
}

}  // namespace pixmora
