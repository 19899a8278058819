// The metadata segments of a source that pixmora-batch --keep-metadata carries into the
// copy: Exif, XMP, Photoshop (IPTC) and comments, each byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pixmora {

enum class MetadataKind {
    Exif,       // APP1 "Exif\0\0", the orientation tag within as the source has it
    XMP,        // APP1 "http://ns.adobe.com/xap/1.0/\0", and extended XMP after it
    Photoshop,  // APP13 "Photoshop 3.0\0": IPTC and Photoshop's resources
    Comment,    // COM
};

struct TMetadataSegment {
    MetadataKind kind = MetadataKind::Comment;
    int marker = 0;             // JPEG_APP0 + 1, JPEG_APP0 + 13 or JPEG_COM
    std::vector<uint8_t> data;  // the bytes after the segment's length, at most 65533
};

// A source's carried segments in the order of the file.
using TJPEGMetadata = std::vector<TMetadataSegment>;

// Whether a segment (marker, and the bytes after its length) is one the copy carries, and
// of which kind. Other APP1 and APP13 segments (an unknown maker's) are not.
bool CarriedMetadataKind(int marker, const uint8_t* data, size_t size, MetadataKind& kind);

}  // namespace pixmora
