// How the preview reads the bitmap and icon files it shows: the window's toolkit has the
// readers, so it provides them.
#pragma once

#include <cstdint>
#include <string>

#include "engine/resample/pixel_buffer.h"

namespace pixmora {

class BitmapLoader {
public:
    virtual ~BitmapLoader() = default;

    // The bitmap or icon file at path as a 24-bit picture for a box_width x box_height
    // picture box: no larger than its fit in the box, transparent parts flattened. Called on
    // the preview's own thread, so it may not touch any window. Throws EInvalidGraphic
    // when the file cannot be read as such a picture.
    virtual TPixelBuffer Load(const std::string& path, int32_t box_width,
                              int32_t box_height) const = 0;
};

}  // namespace pixmora
