// The ICC colour profile of a source: kept when it describes RGB colours, so that the
// output, an RGB picture holding the source's pixel numbers, shows the same colours.
#pragma once

#include <cstdint>
#include <vector>

namespace pixmora {

class TDecompressObject;

// The profile held by the APP2 segments that object saved while reading its header
// (jpeg_save_markers for JPEG_APP0 + 2 before jpeg_read_header), byte for byte. Empty
// when there is none, when it is damaged (segments missing, repeated or numbered beyond
// their count), or when its colour space is not RGB (gray, CMYK, Lab...). Throws
// EOutOfMemory when its bytes cannot be held.
std::vector<uint8_t> ReadRGBProfile(TDecompressObject& object);

}  // namespace pixmora
