// Decoding parameters and colour conversion of the decoder.
#include "engine/codec/jpeg_decoder.h"

#include <algorithm>
#include <climits>

#include <jerror.h>

#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

constexpr int kGrayLevels = 236;

inline uint8_t ScaleByInk(unsigned a, unsigned b) {
    return static_cast<uint8_t>((a * b + 127) / 255);
}

// Whether jpeg_skip_scanlines passes over rows exactly.
// The installed libjpeg delivers rows from before the skip when a skip starts inside a
// row group (max_v_samp_factor rows) that the upsampler fills without context rows, as
// the integral upsampling of luma 3x2, 4x2, 1x3, 2x3, 1x4 or 2x4 does; and its context
// rows go wrong with row groups of four. Skipping is therefore kept to row groups of one
// row, and to groups of two made by the smoothing 2:1 vertical upsampler, which works
// with context rows (a component halved vertically, kept or halved horizontally and then
// wider than 2 samples), where it has been tried: at full scale.
bool SkipsExactly(const jpeg_decompress_struct& info) {
    if (info.max_v_samp_factor == 1) return true;
    if (info.max_v_samp_factor != 2 || !info.do_fancy_upsampling ||
        info.scale_num != info.scale_denom)
        return false;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        if (!component.component_needed || component.v_samp_factor != 1) continue;
        if (component.h_samp_factor == info.max_h_samp_factor) return true;
        if (component.h_samp_factor * 2 == info.max_h_samp_factor &&
            component.downsampled_width > 2)
            return true;
    }
    return false;
}

}  // namespace

TJPEGDecoder::TJPEGDecoder(const uint8_t* data, size_t size, uint64_t memory_limit,
                           int scale_eighths, GrayLevels gray, TCodecArena* arena)
    : object_(arena) {
    jpeg_decompress_struct& info = object_.Info();
    // libjpeg weighs its whole-image arrays against this limit and everything it holds
    // already, and refuses them (having no backing store) before allocating them. 0 would
    // mean no limit to it.
    info.mem->max_memory_to_use = memory_limit > static_cast<uint64_t>(LONG_MAX)
                                      ? LONG_MAX
                                      : std::max(1L, static_cast<long>(memory_limit));
    object_.Run([&] {
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        jpeg_read_header(&info, TRUE);
    });
    if (info.out_color_space != JCS_RGB && info.out_color_space != JCS_GRAYSCALE &&
        info.out_color_space != JCS_CMYK)
        throw EJPEG(JERR_CONVERSION_NOTIMPL);
    info.scale_num = static_cast<unsigned>(scale_eighths);
    info.scale_denom = kFullScale;
    info.do_block_smoothing = TRUE;
    info.dct_method = JDCT_FLOAT;
    info.do_fancy_upsampling = TRUE;
    const bool dithered = info.out_color_space == JCS_GRAYSCALE && gray == GrayLevels::Dithered;
    if (dithered) {
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = kGrayLevels;
        info.two_pass_quantize = TRUE;
        info.dither_mode = JDITHER_FS;
    }
    object_.Run([&] { jpeg_start_decompress(&info); });
    width_ = static_cast<int32_t>(info.output_width);
    height_ = static_cast<int32_t>(info.output_height);
    components_ = info.output_components;
    rows_per_read_ = info.rec_outbuf_height > 0 ? info.rec_outbuf_height : 1;
    skips_exactly_ = SkipsExactly(info);
    if (info.out_color_space == JCS_GRAYSCALE) {
        if (components_ != 1 || (dithered && !info.colormap)) throw EJPEG(JERR_CONVERSION_NOTIMPL);
        if (dithered) gray_levels_ = info.colormap[0];
    } else if (info.out_color_space == JCS_CMYK) {
        if (components_ != 4) throw EJPEG(JERR_CONVERSION_NOTIMPL);
        // Adobe's applications write CMYK inverted (0 means full ink) and mark the file.
        inverted_cmyk_ = info.saw_Adobe_marker;
    } else if (components_ != 3) {
        throw EJPEG(JERR_CONVERSION_NOTIMPL);
    }
}

int32_t TJPEGDecoder::NextRow() const {
    return static_cast<int32_t>(object_.Info().output_scanline);
}

int32_t TJPEGDecoder::ReadRows(uint8_t* const* rows, int32_t count) {
    jpeg_decompress_struct& info = object_.Info();
    JDIMENSION read = 0;
    object_.Run([&] {
        read = jpeg_read_scanlines(&info, const_cast<JSAMPARRAY>(rows),
                                   static_cast<JDIMENSION>(count));
    });
    return static_cast<int32_t>(read);
}

void TJPEGDecoder::SkipRows(int32_t count) {
    jpeg_decompress_struct& info = object_.Info();
    object_.Run([&] { jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(count)); });
}

void TJPEGDecoder::Finish() {
    jpeg_decompress_struct& info = object_.Info();
    object_.Run([&] { jpeg_finish_decompress(&info); });
}

void TJPEGDecoder::SampleRow(const uint8_t* row, const int32_t* columns, int32_t count,
                             uint8_t* rgb) const {
    switch (components_) {
        case 3:
            for (int32_t i = 0; i < count; ++i, rgb += 3) {
                const uint8_t* pixel = row + static_cast<size_t>(columns[i]) * 3;
                rgb[0] = pixel[0];
                rgb[1] = pixel[1];
                rgb[2] = pixel[2];
            }
            break;
        case 1:
            if (gray_levels_) {
                for (int32_t i = 0; i < count; ++i, rgb += 3)
                    rgb[0] = rgb[1] = rgb[2] = gray_levels_[row[columns[i]]];
            } else {
                for (int32_t i = 0; i < count; ++i, rgb += 3)
                    rgb[0] = rgb[1] = rgb[2] = row[columns[i]];
            }
            break;
        default:
            for (int32_t i = 0; i < count; ++i, rgb += 3) {
                const uint8_t* pixel = row + static_cast<size_t>(columns[i]) * 4;
                unsigned c = pixel[0], m = pixel[1], y = pixel[2], k = pixel[3];
                if (!inverted_cmyk_) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
                rgb[0] = ScaleByInk(c, k);
                rgb[1] = ScaleByInk(m, k);
                rgb[2] = ScaleByInk(y, k);
            }
            break;
    }
}

}  // namespace pixmora
