// Header parse with a throw-away decompressor, keeping the Exif APP1 segments for the
// orientation tag and the APP2 segments for the colour profile.
#include "engine/codec/jpeg_header.h"

#include "engine/codec/exif_orientation.h"
#include "engine/codec/icc_profile.h"
#include "engine/codec/jpeg_decompress_object.h"

namespace pixmora {

TJPEGHeader ReadJPEGHeader(const uint8_t* data, size_t size) {
    TDecompressObject object;
    jpeg_decompress_struct& info = object.Info();
    TJPEGHeader header;
    bool multiple_scans = false;
    object.Run([&] {
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
        jpeg_read_header(&info, TRUE);
        multiple_scans = jpeg_has_multiple_scans(&info);
    });
    header.width = static_cast<int32_t>(info.image_width);
    header.height = static_cast<int32_t>(info.image_height);
    header.multiple_scans = multiple_scans;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        header.orientation = ReadExifOrientation(marker->data, marker->data_length);
        if (header.orientation != 0) break;
    }
    header.icc_profile = ReadRGBProfile(object);
    return header;
}

}  // namespace pixmora
