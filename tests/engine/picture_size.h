// The width and height a JPEG file's header gives, as the engine reads it.
#pragma once

#include <string>
#include <utility>

#include "engine/codec/jpeg_image.h"

namespace pixmora::test {

inline std::pair<int, int> PictureSizeOf(const std::string& path) {
    TJPEGImage image;
    image.LoadFromFile(path);
    return {image.Width(), image.Height()};
}

}  // namespace pixmora::test
