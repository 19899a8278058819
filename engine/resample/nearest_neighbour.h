// Nearest-neighbour sampling: which source row or column each target row or column takes,
// spread evenly (no averaging, rows and columns left out or repeated).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// The source index target index t takes: floor((t + 0.5) * source size / target size).
inline int32_t NearestSourceIndex(int32_t target_index, int32_t source_size, int32_t target_size) {
    return static_cast<int32_t>((2 * static_cast<int64_t>(target_index) + 1) * source_size /
                                (2 * static_cast<int64_t>(target_size)));
}

// NearestSourceIndex for every target index, 0 to target_size - 1 (both sizes > 0).
std::vector<int32_t> NearestSourceIndices(int32_t source_size, int32_t target_size);

// Draws the whole source over the whole target (both non-empty), keeping the target's size.
void StretchNearest(const TPixelBuffer& source, TPixelBuffer& target);

}  // namespace pixmora
