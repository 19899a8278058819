// Encodes a 24-bit picture as a JFIF file in memory: YCbCr 4:2:0, quality 90 (or another)
// with the standard tables, floating-point DCT, baseline or libjpeg's standard
// progression; the orientation tag and the colour profile of the source when it had them,
// or all of its carried metadata.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/codec/jpeg_metadata.h"
#include "engine/memory/codec_arena.h"
#include "engine/memory/large_allocation.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

struct TEncodeSettings {
    bool progressive = false;
    // Exif orientation to record (2 to 8); 0 or 1 writes no Exif segment.
    int orientation = 0;
    // ICC profile to embed after the JFIF, Exif and XMP segments, over as many APP2
    // segments as it needs; null or empty writes none.
    const std::vector<uint8_t>* icc_profile = nullptr;
    // libjpeg's quality (1 to 100) over its standard tables, chroma and luma alike.
    int quality = 90;
    // The source's segments to carry, byte for byte: Exif and XMP before the profile,
    // Photoshop and comments after it, each kind in its own order. When given (even empty),
    // its Exif replaces the orientation-only one, which carries the same orientation.
    const TJPEGMetadata* metadata = nullptr;
    // Where libjpeg's large memory comes from; null: from the system.
    TCodecArena* arena = nullptr;
};

// Replaces out's content with the encoded file (out's memory is reused). The picture must
// not be empty. Throws EJPEG (41 for a dimension above 65500).
void EncodeJPEG(const TPixelBuffer& picture, const TEncodeSettings& settings, TByteBuffer& out);

}  // namespace pixmora
