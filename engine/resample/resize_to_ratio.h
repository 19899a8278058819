// The resize step shared by the run and the preview.
#pragma once

#include <cstdint>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// Scales image's picture by ratio percent onto target (sized by ScaleDimension of the
// image's width and height at ratio / 100) with nearest-neighbour sampling, then makes
// target the image's content so that its next save encodes it. The loaded file is decoded
// row by row and only the rows the target takes are kept; the whole decoded picture is
// never held. Throws EOutOfMemory (before decoding) when the target cannot be allocated,
// a zero or negative dimension included, or when the target and the decoder's memory
// together exceed the image's memory budget; EJPEG when decoding fails (42: no bytes).
// libjpeg's warnings about the data are noted on image (DecodeWarnings).
void ResizeToRatio(TJPEGImage& image, TPixelBuffer& target, int32_t ratio);

// The same to a width x height target given directly; at the ratio's size it writes the
// same pixels as ResizeToRatio.
void ResizeToSize(TJPEGImage& image, TPixelBuffer& target, int32_t width, int32_t height);

}  // namespace pixmora
