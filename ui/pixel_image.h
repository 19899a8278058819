// The engine's pixels as a Qt image, without copying them.
#pragma once

#include <QImage>

#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// A view of the picture's pixels, valid while the buffer lives; null for an empty picture.
inline QImage ImageOf(const TPixelBuffer& picture) {
    if (picture.Empty()) return QImage();
    return QImage(picture.Row(0), picture.Width(), picture.Height(),
                  static_cast<qsizetype>(picture.Stride()), QImage::Format_RGB888);
}

}  // namespace pixmora
