// How far a file is reduced while it is decoded, before it is filtered to its target size.
#pragma once

#include <cstdint>

namespace pixmora {

// The scale in eighths (8, 4, 2 or 1) at which to decode a source_width x source_height file
// for a target_width x target_height picture: the smallest whose decoded width and height
// are both at least twice the target's, so that libjpeg's reduced inverse DCT does the
// cheap part of a reduction and the filter still reduces by at least 2 and keeps aliasing
// out. 8 (full size) when no reduced decode is large enough, or a size is not above 0.
int ShrinkOnLoadEighths(int32_t source_width, int32_t source_height, int32_t target_width,
                        int32_t target_height);

}  // namespace pixmora
