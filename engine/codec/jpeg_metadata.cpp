// Telling the carried segments by their marker and the name at the start of their data.
#include "engine/codec/jpeg_metadata.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include <jpeglib.h>

namespace pixmora {

namespace {

// The names include their terminating NUL, as the segments hold them.
constexpr std::string_view kExif("Exif\0\0", 6);
constexpr std::string_view kXMP("http://ns.adobe.com/xap/1.0/\0", 29);
constexpr std::string_view kExtendedXMP("http://ns.adobe.com/xmp/extension/\0", 35);
constexpr std::string_view kPhotoshop("Photoshop 3.0\0", 14);

bool StartsWith(const uint8_t* data, size_t size, std::string_view name) {
    return size >= name.size() && std::memcmp(data, name.data(), name.size()) == 0;
}

}  // namespace

bool CarriedMetadataKind(int marker, const uint8_t* data, size_t size, MetadataKind& kind) {
    if (marker == JPEG_COM) {
        kind = MetadataKind::Comment;
        return true;
    }
    if (marker == JPEG_APP0 + 1 && StartsWith(data, size, kExif)) {
        kind = MetadataKind::Exif;
        return true;
    }
    if (marker == JPEG_APP0 + 1 &&
        (StartsWith(data, size, kXMP) || StartsWith(data, size, kExtendedXMP))) {
        kind = MetadataKind::XMP;
        return true;
    }
    if (marker == JPEG_APP0 + 13 && StartsWith(data, size, kPhotoshop)) {
        kind = MetadataKind::Photoshop;
        return true;
    }
    return false;
}

}  // namespace pixmora
