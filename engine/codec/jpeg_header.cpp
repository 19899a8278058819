// Header parse with a throw-away decompressor, keeping the Exif APP1 segments for the
// orientation tag and the APP2 segments for the colour profile, and when asked the APP13
// and comment segments of the metadata a copy carries.
#include "engine/codec/jpeg_header.h"

#include <new>

#include "engine/codec/exif_orientation.h"
#include "engine/codec/icc_profile.h"
#include "engine/codec/jpeg_decompress_object.h"
#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

// Every 8 x 8 block of the first component costs a Huffman-coded frame at least one bit
// (its DC code, in a sequential or a progressive first scan); an arithmetic-coded one can
// take less.
bool TooShortForItsBlocks(const jpeg_decompress_struct& info, size_t size) {
    if (info.arith_code || info.num_components < 1) return false;
    const jpeg_component_info& first = info.comp_info[0];
    const uint64_t blocks = uint64_t{first.width_in_blocks} * first.height_in_blocks;
    return uint64_t{size} * 8 < blocks;
}

// The carried segments among those object saved, in the file's order.
TJPEGMetadata CarriedMetadata(const jpeg_decompress_struct& info) {
    TJPEGMetadata metadata;
    try {
        for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
            MetadataKind kind;
            if (!CarriedMetadataKind(marker->marker, marker->data, marker->data_length, kind))
                continue;
            TMetadataSegment segment;
            segment.kind = kind;
            segment.marker = marker->marker;
            segment.data.assign(marker->data, marker->data + marker->data_length);
            metadata.push_back(std::move(segment));
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    return metadata;
}

uint64_t RoundUp(uint64_t value, int multiple) {
    const uint64_t step = multiple > 0 ? static_cast<uint64_t>(multiple) : 1;
    return (value + step - 1) / step * step;
}

}  // namespace

TJPEGHeader ReadJPEGHeader(const uint8_t* data, size_t size, bool keep_metadata) {
    TDecompressObject object;
    jpeg_decompress_struct& info = object.Info();
    TJPEGHeader header;
    bool multiple_scans = false;
    object.Run([&] {
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
        if (keep_metadata) {
            jpeg_save_markers(&info, JPEG_APP0 + 13, 0xFFFF);
            jpeg_save_markers(&info, JPEG_COM, 0xFFFF);
        }
        jpeg_read_header(&info, TRUE);
        multiple_scans = jpeg_has_multiple_scans(&info);
    });
    header.width = static_cast<int32_t>(info.image_width);
    header.height = static_cast<int32_t>(info.image_height);
    if (TooShortForItsBlocks(info, size)) throw EDamagedData(size, header.width, header.height);
    header.multiple_scans = multiple_scans;
    if (multiple_scans) {
        // What libjpeg allocates for the whole image's coefficients before the first row.
        for (int c = 0; c < info.num_components; ++c) {
            const jpeg_component_info& component = info.comp_info[c];
            const uint64_t columns = RoundUp(component.width_in_blocks, component.h_samp_factor);
            const uint64_t rows = RoundUp(component.height_in_blocks, component.v_samp_factor);
            header.coefficient_bytes += columns * rows * sizeof(JBLOCK);
        }
    }
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        header.orientation = ReadExifOrientation(marker->data, marker->data_length);
        if (header.orientation != 0) break;
    }
    header.icc_profile = ReadRGBProfile(object);
    if (keep_metadata) header.metadata = CarriedMetadata(info);
    return header;
}

uint64_t DecoderMemoryNeed(uint64_t coefficient_bytes, int32_t width) {
    // Row buffers, tables and the colour converter: a few rows of every component at most.
    constexpr uint64_t kFixed = 4 << 20;
    constexpr uint64_t kPerColumn = 1024;
    return coefficient_bytes + kFixed + kPerColumn * static_cast<uint64_t>(width);
}

}  // namespace pixmora
