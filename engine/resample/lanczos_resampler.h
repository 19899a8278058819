// Separable Lanczos-3 resize of a picture that arrives row by row: each row is filtered
// across as it comes, into a ring of the few rows the next target rows are made of, and each
// target row is filtered down as soon as its last source row is in. The whole source is
// never held.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/resample/lanczos_taps.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

class TLanczosResampler {
public:
    // Rows of source_width x source_height RGB pixels to come, of which the first span_x x
    // span_y make the picture (see LanczosTaps), resized onto target, sized already. Throws
    // EOutOfMemory when the working memory cannot be allocated.
    TLanczosResampler(int32_t source_width, int32_t source_height, double span_x, double span_y,
                      TPixelBuffer& target);

    // What the resampler allocates for these sizes, at most; 0 when a size is not above 0.
    static uint64_t MemoryNeed(int32_t source_width, int32_t source_height, double span_x,
                               double span_y, int32_t target_width, int32_t target_height);

    // Takes the next source row (source_width pixels, red, green, blue) and writes the
    // target rows it completes.
    void AddRow(const uint8_t* rgb);

    // Four floats: a pixel (red, green, blue and a spare lane) or four values of a row.
    using TLanes = float __attribute__((vector_size(16)));

private:
    void FilterAcross(const uint8_t* rgb, float* out);
    void FilterDown(int32_t target_row);

    TPixelBuffer& target_;
    int32_t source_width_ = 0;
    int32_t source_height_ = 0;
    TLanczosTaps across_;
    TLanczosTaps down_;
    // One source row as lanes, with across_.taps spare pixels of zero past its end so that
    // every target pixel reads the same number of them.
    std::vector<TLanes> row_;
    // Rows filtered across, source row r in slot r % ring rows; each 3 x target width
    // floats and a spare one, padded to whole groups of lanes.
    std::vector<TLanes> ring_;
    size_t ring_row_lanes_ = 0;
    int32_t ring_rows_ = 0;
    std::vector<TLanes> sums_;
    int32_t rows_in_ = 0;
    int32_t next_target_row_ = 0;
};

}  // namespace pixmora
