// The resize step with the Lanczos-3 filter: pixmora-batch's choice for smooth reductions
// and enlargements.
#pragma once

#include <cstdint>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// Resizes image's picture to width x height onto target with a separable Lanczos-3 filter
// over the encoded values, then makes target the image's content so that its next save
// encodes it. A loaded file is decoded at the reduced scale ShrinkOnLoadEighths gives and
// filtered row by row as libjpeg delivers them; the whole decoded picture is never held.
// Gray files keep every gray level. Throws EOutOfMemory (before decoding) when the target
// cannot be allocated, a zero or negative dimension included, or when the target, the
// filter's memory and the decoder's together exceed the image's memory budget; EJPEG when
// decoding fails (42: no bytes). libjpeg's warnings about the data are noted on image
// (DecodeWarnings).
void ResizeWithLanczos(TJPEGImage& image, TPixelBuffer& target, int32_t width, int32_t height);

// What ResizeWithLanczos holds for a loaded source_width x source_height file besides the
// target and libjpeg's own memory (the filter's rows and weights, the decoded rows), at
// most; 0 when a size is not above 0.
uint64_t LanczosMemoryNeed(int32_t source_width, int32_t source_height, int32_t target_width,
                           int32_t target_height);

}  // namespace pixmora
