// libjpeg compression into a growable memory buffer owned by C++.
#include "engine/codec/jpeg_encoder.h"

#include <cstdio>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "engine/codec/exif_orientation.h"
#include "engine/codec/jpeg_compress_object.h"

namespace pixmora {

namespace {

constexpr size_t kFirstBufferBytes = 64 * 1024;

// Destination manager writing into a byte buffer; growth failures become libjpeg's
// out-of-memory error instead of an exception crossing libjpeg.
struct TVectorDestination : jpeg_destination_mgr {
    TByteBuffer* out = nullptr;
};

bool Grow(TByteBuffer& out, size_t size) noexcept {
    try {
        out.resize(size);
        return true;
    } catch (...) {
        return false;
    }
}

void InitDestination(j_compress_ptr info) {
    auto* destination = static_cast<TVectorDestination*>(info->dest);
    TByteBuffer& out = *destination->out;
    const size_t size = out.capacity() > kFirstBufferBytes ? out.capacity() : kFirstBufferBytes;
    if (!Grow(out, size)) ERREXIT(info, JERR_OUT_OF_MEMORY);
    destination->next_output_byte = out.data();
    destination->free_in_buffer = out.size();
}

boolean EmptyDestination(j_compress_ptr info) {
    auto* destination = static_cast<TVectorDestination*>(info->dest);
    TByteBuffer& out = *destination->out;
    const size_t used = out.size();
    if (!Grow(out, used * 2)) ERREXIT(info, JERR_OUT_OF_MEMORY);
    destination->next_output_byte = out.data() + used;
    destination->free_in_buffer = out.size() - used;
    return TRUE;
}

void TermDestination(j_compress_ptr info) {
    auto* destination = static_cast<TVectorDestination*>(info->dest);
    destination->out->resize(destination->out->size() - destination->free_in_buffer);
}

// Writes the segments of metadata of one kind, in their order; between
// jpeg_start_compress and the first row.
void WriteMetadata(j_compress_ptr info, const TJPEGMetadata* metadata, MetadataKind kind) {
    if (!metadata) return;
    for (const TMetadataSegment& segment : *metadata) {
        if (segment.kind != kind) continue;
        // A segment read from a file is never longer than a marker can hold.
        jpeg_write_marker(info, segment.marker, segment.data.data(),
                          static_cast<unsigned int>(segment.data.size()));
    }
}

}  // namespace

void EncodeJPEG(const TPixelBuffer& picture, const TEncodeSettings& settings, TByteBuffer& out) {
    std::vector<JSAMPROW> rows(static_cast<size_t>(picture.Height()));
    for (int32_t y = 0; y < picture.Height(); ++y)
        rows[static_cast<size_t>(y)] = const_cast<JSAMPROW>(picture.Row(y));
    const std::string exif = settings.orientation > 1 && !settings.metadata
                                 ? MakeExifOrientationPayload(settings.orientation)
                                 : std::string();
    out.clear();

    TVectorDestination destination;
    destination.out = &out;
    destination.init_destination = InitDestination;
    destination.empty_output_buffer = EmptyDestination;
    destination.term_destination = TermDestination;

    TCompressObject object(settings.arena);
    jpeg_compress_struct& info = object.Info();
    info.dest = &destination;
    info.image_width = static_cast<JDIMENSION>(picture.Width());
    info.image_height = static_cast<JDIMENSION>(picture.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    object.Run([&] {
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, settings.quality, TRUE);
        if (settings.progressive) jpeg_simple_progression(&info);
        info.dct_method = JDCT_FLOAT;
        info.optimize_coding = FALSE;
        info.write_JFIF_header = TRUE;
        info.JFIF_major_version = 1;
        info.JFIF_minor_version = 1;
        info.density_unit = 0;
        info.X_density = 1;
        info.Y_density = 1;
        jpeg_start_compress(&info, TRUE);
        if (!exif.empty())
            jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                              static_cast<unsigned int>(exif.size()));
        WriteMetadata(&info, settings.metadata, MetadataKind::Exif);
        WriteMetadata(&info, settings.metadata, MetadataKind::XMP);
        // A profile read from a file spans at most 255 segments, as it will here.
        if (settings.icc_profile && !settings.icc_profile->empty())
            jpeg_write_icc_profile(&info, settings.icc_profile->data(),
                                   static_cast<unsigned int>(settings.icc_profile->size()));
        WriteMetadata(&info, settings.metadata, MetadataKind::Photoshop);
        WriteMetadata(&info, settings.metadata, MetadataKind::Comment);
        jpeg_write_scanlines(&info, rows.data(), static_cast<JDIMENSION>(rows.size()));
        jpeg_finish_compress(&info);
    });
}

}  // namespace pixmora
