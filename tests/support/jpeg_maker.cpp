#include "support/jpeg_maker.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <gtest/gtest.h>
#include <jpeglib.h>

namespace pixmora::test {

void PatternPixel(int x, int y, int width, int height, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
    rgb[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
    rgb[2] = static_cast<uint8_t>(((x / 8) + (y / 8)) % 2 ? 200 : 40);
}

JpegOptions Options(int width, int height, int components) {
    JpegOptions options;
    options.width = width;
    options.height = height;
    options.components = components;
    return options;
}

JpegOptions Progressive(JpegOptions options) {
    options.progressive = true;
    return options;
}

JpegOptions Arithmetic(JpegOptions options) {
    options.arithmetic = true;
    return options;
}

JpegOptions Ycck(JpegOptions options) {
    options.ycck = true;
    return options;
}

JpegOptions Plain(JpegOptions options) {
    options.plain = true;
    return options;
}

JpegOptions Sampling(JpegOptions options, int luma_h, int luma_v) {
    options.luma_h_sampling = luma_h;
    options.luma_v_sampling = luma_v;
    return options;
}

JpegOptions ChromaSampling(JpegOptions options, int cb_h, int cb_v, int cr_h, int cr_v) {
    options.chroma_sampling[0][0] = cb_h;
    options.chroma_sampling[0][1] = cb_v;
    options.chroma_sampling[1][0] = cr_h;
    options.chroma_sampling[1][1] = cr_v;
    return options;
}

JpegOptions NonInterleaved(JpegOptions options) {
    options.interleaved = false;
    return options;
}

namespace {

// Scans of one component each: the whole spectrum per component when sequential; when
// progressive, every DC scan first, then the AC coefficients in two bands.
std::vector<jpeg_scan_info> SeparateScans(int components, bool progressive) {
    std::vector<jpeg_scan_info> scans;
    auto add = [&](int component, int ss, int se) {
        jpeg_scan_info scan{};
        scan.comps_in_scan = 1;
        scan.component_index[0] = component;
        scan.Ss = ss;
        scan.Se = se;
        scans.push_back(scan);
    };
    if (!progressive) {
        for (int c = 0; c < components; ++c) add(c, 0, 63);
        return scans;
    }
    for (int c = 0; c < components; ++c) add(c, 0, 0);
    for (int c = 0; c < components; ++c) {
        add(c, 1, 5);
        add(c, 6, 63);
    }
    return scans;
}

}  // namespace

std::string MakeJpeg(const JpegOptions& options) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(options.width);
    cinfo.image_height = static_cast<JDIMENSION>(options.height);
    cinfo.input_components = options.components;
    switch (options.components) {
        case 1:
            cinfo.in_color_space = JCS_GRAYSCALE;
            break;
        case 3:
            cinfo.in_color_space = JCS_RGB;
            break;
        case 4:
            cinfo.in_color_space = JCS_CMYK;
            break;
        default:
            cinfo.in_color_space = JCS_UNKNOWN;
            break;
    }
    jpeg_set_defaults(&cinfo);
    if (options.components == 4 && options.ycck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (options.components >= 3) {
        cinfo.comp_info[0].h_samp_factor = options.luma_h_sampling;
        cinfo.comp_info[0].v_samp_factor = options.luma_v_sampling;
        for (int c = 1; c < 3; ++c) {
            cinfo.comp_info[c].h_samp_factor = options.chroma_sampling[c - 1][0];
            cinfo.comp_info[c].v_samp_factor = options.chroma_sampling[c - 1][1];
        }
    }
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    cinfo.arith_code = options.arithmetic;
    cinfo.restart_interval = static_cast<unsigned int>(options.restart_interval);
    const std::vector<jpeg_scan_info> scans =
        SeparateScans(cinfo.num_components, options.progressive);
    if (!options.interleaved) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = static_cast<int>(scans.size());
    } else if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    for (const std::string& segment : options.app_segments) {
        jpeg_write_marker(&cinfo, static_cast<unsigned char>(segment[0]),
                          reinterpret_cast<const JOCTET*>(segment.data() + 1),
                          static_cast<unsigned int>(segment.size() - 1));
    }
    if (!options.icc_profile.empty())
        jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET*>(options.icc_profile.data()),
                               static_cast<unsigned int>(options.icc_profile.size()));
    std::vector<JSAMPLE> row(static_cast<size_t>(options.width) * options.components);
    for (int y = 0; y < options.height; ++y) {
        if (!options.pixels.empty()) {
            JSAMPROW given[1] = {const_cast<JSAMPLE*>(&options.pixels[row.size() * y])};
            jpeg_write_scanlines(&cinfo, given, 1);
            continue;
        }
        for (int x = 0; x < options.width; ++x) {
            uint8_t rgb[3] = {200, 120, 40};
            if (!options.plain) PatternPixel(x, y, options.width, options.height, rgb);
            JSAMPLE* px = &row[static_cast<size_t>(x) * options.components];
            if (options.components == 1) {
                px[0] = rgb[0];
            } else if (options.components == 2) {
                px[0] = rgb[0], px[1] = rgb[1];
            } else if (options.components == 3) {
                px[0] = rgb[0], px[1] = rgb[1], px[2] = rgb[2];
            } else {
                // Adobe CMYK as Photoshop writes it: inverted, 255 means no ink.
                px[0] = static_cast<JSAMPLE>(rgb[0]), px[1] = static_cast<JSAMPLE>(rgb[1]);
                px[2] = static_cast<JSAMPLE>(rgb[2]), px[3] = 255;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    free(buffer);
    return out;
}

std::string WithFrameSize(std::string jpeg, int width, int height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        // SOF0 to SOF15, leaving out DHT, JPG and DAC.
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && frame) {
            jpeg[i + 5] = static_cast<char>(height >> 8), jpeg[i + 6] = static_cast<char>(height);
            jpeg[i + 7] = static_cast<char>(width >> 8), jpeg[i + 8] = static_cast<char>(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

std::string ExifOrientationSegment(int orientation) {
    // APP1 "Exif\0\0", TIFF header II*\0 offset 8, one IFD entry 0x0112 SHORT 1 value.
    std::string s;
    s += static_cast<char>(JPEG_APP0 + 1);
    s += std::string("Exif\0\0", 6);
    s += std::string("II*\0\x08\0\0\0", 8);
    s += std::string("\x01\0", 2);                    // one entry
    s += std::string("\x12\x01\x03\0\x01\0\0\0", 8);  // tag 0x0112, SHORT, count 1
    s += static_cast<char>(orientation);
    s += std::string("\0\0\0", 3);
    s += std::string("\0\0\0\0", 4);  // no next IFD
    return s;
}

std::string IccProfileSegment(int sequence, int count, const std::string& chunk) {
    std::string s;
    s += static_cast<char>(JPEG_APP0 + 2);
    s += std::string("ICC_PROFILE\0", 12);
    s += static_cast<char>(sequence);
    s += static_cast<char>(count);
    return s + chunk;
}

namespace {

struct JumpingErrors : jpeg_error_mgr {
    std::jmp_buf jump;
};

void JumpBack(j_common_ptr info) { std::longjmp(static_cast<JumpingErrors*>(info->err)->jump, 1); }

void SayNothing(j_common_ptr, int) {}

// Reads the header of jpeg and the profile; false when libjpeg gave up. No object with a
// destructor lives here, as libjpeg may jump out.
bool ReadProfileBytes(jpeg_decompress_struct& dinfo, const std::string& jpeg, JOCTET** data,
                      unsigned int* size) {
    auto* errors = static_cast<JumpingErrors*>(dinfo.err);
    if (setjmp(errors->jump)) return false;
    jpeg_create_decompress(&dinfo);
    jpeg_mem_src(&dinfo, reinterpret_cast<const unsigned char*>(jpeg.data()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_save_markers(&dinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&dinfo, TRUE);
    jpeg_read_icc_profile(&dinfo, data, size);
    return true;
}

}  // namespace

std::string ReadIccProfile(const std::string& jpeg) {
    jpeg_decompress_struct dinfo{};
    JumpingErrors errors{};
    dinfo.err = jpeg_std_error(&errors);
    errors.error_exit = JumpBack;
    errors.emit_message = SayNothing;
    JOCTET* data = nullptr;
    unsigned int size = 0;
    if (!ReadProfileBytes(dinfo, jpeg, &data, &size)) ADD_FAILURE() << "not a readable JPEG file";
    jpeg_destroy_decompress(&dinfo);
    const std::string profile =
        data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    free(data);
    return profile;
}

std::string ColordProfile(const std::string& name) { return "/usr/share/color/icc/colord/" + name; }

std::string GhostscriptProfile(const std::string& name) {
    return "/usr/share/color/icc/ghostscript/" + name;
}

}  // namespace pixmora::test
