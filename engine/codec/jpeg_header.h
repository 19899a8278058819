// What a JPEG file's header tells before any pixel is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/codec/jpeg_metadata.h"

namespace pixmora {

struct TJPEGHeader {
    int32_t width = 0;
    int32_t height = 0;
    // More than one scan: progressive (or a non-interleaved baseline) file.
    bool multiple_scans = false;
    // Exif orientation 1 to 8, 0 when the file has none.
    int orientation = 0;
    // The whole image's coefficients that a full-size decode holds (multiple scans only).
    uint64_t coefficient_bytes = 0;
    // ICC profile when it describes RGB colours, empty otherwise.
    std::vector<uint8_t> icc_profile;
    // The segments a copy carries with its metadata kept; read only when asked for.
    TJPEGMetadata metadata;
};

// Parses the header of a JPEG file held in memory (size > 0). Throws EJPEG: 53 when the
// data does not start with a start-of-image marker, 41 for a dimension above 65500;
// EDamagedData when a Huffman-coded file has fewer bits than its first component has
// blocks. A damaged profile is left out, never a failure. keep_metadata reads the carried
// metadata segments too (EOutOfMemory when they cannot be held).
TJPEGHeader ReadJPEGHeader(const uint8_t* data, size_t size, bool keep_metadata = false);

// What decoding a file at full size holds besides its picture: the whole image's
// coefficients (TJPEGHeader::coefficient_bytes) and libjpeg's rows and tables for a picture
// width pixels wide, generously.
uint64_t DecoderMemoryNeed(uint64_t coefficient_bytes, int32_t width);

}  // namespace pixmora
