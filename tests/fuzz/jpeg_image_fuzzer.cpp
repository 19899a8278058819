// Feeds arbitrary files to the JPEG image object as the run handles one: the header read
// with its Exif orientation, the streamed resize, and the encoding of the result, within
// a memory budget of 1 GiB. The first byte is the ratio (its value modulo 126: 0 to
// 125 %) and, from 126 on, keeps the file's metadata for the encoding; the rest is the
// file. The orientation parser also reads the file as an Exif block.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/codec/exif_orientation.h"
#include "engine/codec/jpeg_decompress_object.h"
#include "engine/codec/jpeg_encoder.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_header.h"
#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resize_to_ratio.h"
#include "engine/resample/scale_dimension.h"

namespace {

constexpr uint64_t kMemoryBudget = uint64_t{1} << 30;
constexpr int32_t kLargestDimension = 65500;

// Decoding a claimed picture of hundreds of megapixels takes seconds whatever the file
// holds, and repeats what smaller ones exercise.
constexpr uint64_t kLargestDecoded = uint64_t{1} << 20;

bool ValidOrientation(int orientation) { return orientation >= 0 && orientation <= 8; }

// Bytes of the coefficients a multi-scan file keeps for the whole picture, as libjpeg
// sizes them: each component's blocks, rounded up to whole MCUs, 128 bytes each.
uint64_t WholeImageCoefficientBytes(const uint8_t* file, size_t size) {
    pixmora::TDecompressObject object;
    jpeg_decompress_struct& info = object.Info();
    object.Run([&] {
        jpeg_mem_src(&info, file, static_cast<unsigned long>(size));
        jpeg_read_header(&info, TRUE);
    });
    uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const uint64_t h = component.h_samp_factor, v = component.v_samp_factor;
        blocks += (component.width_in_blocks + h - 1) / h * h *
                  ((component.height_in_blocks + v - 1) / v * v);
    }
    return blocks * sizeof(JBLOCK);
}

// Whether the budget surely refuses the resize before decoding: the target alone exceeds
// it, or the file has several scans and their coefficients exceed what the target leaves.
bool SurelyRefused(const pixmora::TJPEGImage& image, int32_t width, int32_t height) {
    const uint64_t target = pixmora::TPixelBuffer::ByteCount(width, height);
    if (target == 0 || target > kMemoryBudget) return true;
    if (!image.ProgressiveEncoding()) return false;
    const pixmora::TByteView file = image.EncodedBytes();
    try {
        return WholeImageCoefficientBytes(file.data(), file.size()) > kMemoryBudget - target;
    } catch (const pixmora::EJPEG&) {
        return false;
    }
}

// The segments of one kind, as marker and data.
std::vector<std::pair<int, std::vector<uint8_t>>> OfKind(const pixmora::TJPEGMetadata& metadata,
                                                         pixmora::MetadataKind kind) {
    std::vector<std::pair<int, std::vector<uint8_t>>> segments;
    for (const pixmora::TMetadataSegment& segment : metadata)
        if (segment.kind == kind) segments.emplace_back(segment.marker, segment.data);
    return segments;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pixmora;
    if (size < 1) return 0;
    const int32_t ratio = data[0] % 126;
    const bool keep_metadata = data[0] >= 126;
    const uint8_t* file = data + 1;
    const size_t file_size = size - 1;

    if (!ValidOrientation(ReadExifOrientation(file, file_size))) __builtin_trap();

    TJPEGImage image;
    image.SetMemoryBudget(kMemoryBudget);
    image.SetSaveChoices({90, keep_metadata});
    try {
        image.LoadFromMemory(file, file_size);
    } catch (const EJPEG&) {
        return 0;  // not a JPEG file, or a dimension beyond the format's
    } catch (const EDamagedData&) {
        return 0;  // far too short for its picture
    }
    const int32_t width = image.Width(), height = image.Height();
    if (width < 0 || width > kLargestDimension || height < 0 || height > kLargestDimension)
        __builtin_trap();
    if (!ValidOrientation(image.Orientation())) __builtin_trap();

    const double scale = ratio / 100.0;
    const int32_t target_width = ScaleDimension(width, scale);
    const int32_t target_height = ScaleDimension(height, scale);
    // Of the largest claims only the refusals are run, and they must come.
    const bool refused = SurelyRefused(image, target_width, target_height);
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kLargestDecoded && !refused)
        return 0;
    TPixelBuffer target;
    try {
        ResizeToRatio(image, target, ratio);
    } catch (const EJPEG&) {
        return 0;
    } catch (const EOutOfMemory&) {
        // Nothing was taken as content.
        if (!image.Picture().Empty() || image.EncodedBytes().size() != file_size) __builtin_trap();
        return 0;
    }
    if (refused) __builtin_trap();
    if (image.Width() != target_width || image.Height() != target_height ||
        !image.Picture().SharesPixelsWith(target))
        __builtin_trap();

    TByteBuffer encoded;
    try {
        TEncodeSettings settings;
        settings.progressive = image.ProgressiveEncoding();
        settings.orientation = image.Orientation();
        settings.metadata = image.Metadata();
        EncodeJPEG(image.Picture(), settings, encoded);
    } catch (const EJPEG&) {
        return 0;  // enlarged beyond the format's largest dimension
    }
    // The encoding reads back with the picture's size and the orientation carried over,
    // and the kept metadata segment for segment.
    const TJPEGHeader header = ReadJPEGHeader(encoded.data(), encoded.size(), keep_metadata);
    const int carried = keep_metadata || image.Orientation() > 1 ? image.Orientation() : 0;
    if (header.width != image.Width() || header.height != image.Height() ||
        header.multiple_scans != image.ProgressiveEncoding() || header.orientation != carried)
        __builtin_trap();
    if (keep_metadata != (image.Metadata() != nullptr)) __builtin_trap();
    // The copy writes each kind apart, in the source's order within it.
    if (keep_metadata) {
        for (const MetadataKind kind : {MetadataKind::Exif, MetadataKind::XMP,
                                        MetadataKind::Photoshop, MetadataKind::Comment}) {
            if (OfKind(*image.Metadata(), kind) != OfKind(header.metadata, kind)) __builtin_trap();
        }
    }
    return 0;
}
