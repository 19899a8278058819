// The Exif orientation tag: read from a source's APP1 segment, written alone into an
// output so that portrait photos stay upright.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pixmora {

// The orientation (1 to 8) held by an APP1 payload (the bytes after the marker's length),
// 0 when the payload is not Exif, has no orientation tag, or is damaged.
int ReadExifOrientation(const uint8_t* payload, size_t size);

// The APP1 payload of a minimal Exif block holding only the orientation tag.
std::string MakeExifOrientationPayload(int orientation);

}  // namespace pixmora
