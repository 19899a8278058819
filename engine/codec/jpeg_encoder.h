// Encodes a 24-bit picture as a JFIF file in memory: YCbCr 4:2:0, quality 90 with the
// standard tables, floating-point DCT, baseline or libjpeg's standard progression; the
// orientation tag and the colour profile of the source when it had them.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/memory/codec_arena.h"
#include "engine/memory/large_allocation.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

struct TEncodeSettings {
    bool progressive = false;
    // Exif orientation to record (2 to 8); 0 or 1 writes no Exif segment.
    int orientation = 0;
    // ICC profile to embed after the JFIF and Exif segments, over as many APP2 segments
    // as it needs; null or empty writes none.
    const std::vector<uint8_t>* icc_profile = nullptr;
    // Where libjpeg's large memory comes from; null: from the system.
    TCodecArena* arena = nullptr;
};

// Replaces out's content with the encoded file (out's memory is reused). The picture must
// not be empty. Throws EJPEG (41 for a dimension above 65500).
void EncodeJPEG(const TPixelBuffer& picture, const TEncodeSettings& settings, TByteBuffer& out);

}  // namespace pixmora
