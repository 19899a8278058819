// The resize step end to end: target sizes, streamed sampling equal to a whole decode and
// stretch, the encoded output's format, and what cannot be resized.
#include "engine/resample/resize_to_ratio.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/exif_orientation.h"
#include "engine/codec/jpeg_decompress_object.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/resample/nearest_neighbour.h"
#include "engine/resample/scale_dimension.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::ChromaSampling;
using test::JpegOptions;
using test::MakeJpeg;
using test::NonInterleaved;
using test::Options;
using test::Plain;
using test::Progressive;
using test::ReadFile;
using test::Sampling;
using test::TempFolder;
using test::Ycck;

// What an encoded file's header says, read back with libjpeg.
struct OutputHeader {
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    bool jfif = false;
    int jfif_major = 0, jfif_minor = 0, density_unit = -1, x_density = 0, y_density = 0;
    int sampling[3][2] = {};
    std::vector<int> luminance, chrominance;  // quantization tables in natural order
    std::vector<std::string> app1;
};

OutputHeader ReadOutputHeader(const std::string& bytes) {
    TDecompressObject object;
    jpeg_decompress_struct& info = object.Info();
    object.Run([&] {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&info, TRUE);
    });
    OutputHeader header;
    header.width = static_cast<int>(info.image_width);
    header.height = static_cast<int>(info.image_height);
    header.components = info.num_components;
    header.progressive = info.progressive_mode;
    header.jfif = info.saw_JFIF_marker;
    header.jfif_major = info.JFIF_major_version;
    header.jfif_minor = info.JFIF_minor_version;
    header.density_unit = info.density_unit;
    header.x_density = info.X_density;
    header.y_density = info.Y_density;
    for (int c = 0; c < info.num_components && c < 3; ++c) {
        header.sampling[c][0] = info.comp_info[c].h_samp_factor;
        header.sampling[c][1] = info.comp_info[c].v_samp_factor;
    }
    for (int i = 0; i < DCTSIZE2; ++i) {
        header.luminance.push_back(info.quant_tbl_ptrs[0]->quantval[i]);
        header.chrominance.push_back(info.quant_tbl_ptrs[1]->quantval[i]);
    }
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        header.app1.emplace_back(reinterpret_cast<const char*>(m->data), m->data_length);
    return header;
}

// The standard tables of the JPEG standard's Annex K at quality 90 (scaled by 20 %).
std::vector<int> Quality90(const int (&table)[64]) {
    std::vector<int> scaled;
    for (int v : table) scaled.push_back(std::min(255, std::max(1, (v * 20 + 50) / 100)));
    return scaled;
}

constexpr int kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                  24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                  99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// Loads bytes from a file in folder, resizes by ratio and saves; returns the output bytes.
std::string ResizeFile(const TempFolder& folder, const std::string& source, int ratio,
                       TJPEGImage& image, TPixelBuffer& target) {
    image.LoadFromFile(folder.WriteFile("in.jpg", source));
    ResizeToRatio(image, target, ratio);
    const std::string out = folder.Slash() + "out.jpg";
    image.SaveToFile(out);
    return ReadFile(out);
}

bool SamePixels(const TPixelBuffer& a, const TPixelBuffer& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int32_t y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), static_cast<size_t>(a.Width()) * 3) != 0) return false;
    return true;
}

// Loads path, resizes it by ratio into target, and tells whether the streamed result holds
// the pixels that decoding the whole picture and stretching it gives.
bool ResizeMatchesWholeDecode(const std::string& path, int ratio, TJPEGImage& image,
                              TPixelBuffer& target) {
    image.LoadFromFile(path);
    const TPixelBuffer whole = image.DecodePicture();
    ResizeToRatio(image, target, ratio);
    TPixelBuffer expected;
    expected.SetSize(target.Width(), target.Height());
    StretchNearest(whole, expected);
    return SamePixels(image.Picture(), expected);
}

TEST(ResizeToRatio, HalvesA4000By3000Picture) {
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    const std::string out =
        ResizeFile(folder, MakeJpeg(Plain(Options(4000, 3000))), 50, image, target);
    EXPECT_EQ(image.Width(), 2000);
    EXPECT_EQ(image.Height(), 1500);
    const OutputHeader header = ReadOutputHeader(out);
    EXPECT_EQ(header.width, 2000);
    EXPECT_EQ(header.height, 1500);
}

TEST(ResizeToRatio, StreamedSamplingEqualsWholeDecodeAndStretch) {
    struct Source {
        const char* name;
        JpegOptions options;
    };
    const Source sources[] = {
        {"baseline", Options(101, 67)},     {"progressive", Progressive(Options(77, 93))},
        {"gray", Options(99, 45, 1)},       {"cmyk", Options(53, 61, 4)},
        {"ycck", Ycck(Options(35, 29, 4))},
    };
    const int ratios[] = {100, 50, 33, 29, 140, 250, 5};
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;  // reused like the run does, across sizes
    for (const Source& source : sources) {
        const std::string path = folder.WriteFile("s.jpg", MakeJpeg(source.options));
        for (int ratio : ratios) {
            SCOPED_TRACE(std::string(source.name) + " at " + std::to_string(ratio));
            EXPECT_TRUE(ResizeMatchesWholeDecode(path, ratio, image, target));
            EXPECT_TRUE(image.Picture().SharesPixelsWith(target));
        }
    }
}

// Rows that no target row needs are passed over in the decoder, whole block rows included
// when shrinking hard; the rows that are kept must come out as a whole decode gives them,
// whatever the sampling layout and scan mode. Every luma layout from 1x1 to 4x4 with full
// chroma (beyond 8 luma blocks per MCU only possible with a scan per component), a few
// mixed layouts (named luma, Cb, Cr), and pictures too narrow for the smoothing upsampler.
TEST(ResizeToRatio, PassingOverRowsKeepsTheSampledRowsExact) {
    struct Layout {
        std::string name;
        JpegOptions options;
    };
    std::vector<Layout> layouts;
    auto add = [&](std::string name, int h, int v, int cb_h, int cb_v, int cr_h, int cr_v,
                   int width = 157) {
        JpegOptions options =
            ChromaSampling(Sampling(Options(width, 203), h, v), cb_h, cb_v, cr_h, cr_v);
        if (h * v + cb_h * cb_v + cr_h * cr_v > 10) options = NonInterleaved(options);
        layouts.push_back({std::move(name), options});
    };
    for (int h = 1; h <= 4; ++h)
        for (int v = 1; v <= 4; ++v)
            add(std::to_string(h) + "x" + std::to_string(v), h, v, 1, 1, 1, 1);
    add("2x2 2x1 1x2", 2, 2, 2, 1, 1, 2);
    add("2x2 1x2 1x1", 2, 2, 1, 2, 1, 1);
    add("3x2 1x2 1x1", 3, 2, 1, 2, 1, 1);
    add("1x4 1x2 1x1", 1, 4, 1, 2, 1, 1);
    add("4x2 4x1 1x1", 4, 2, 4, 1, 1, 1);
    add("4x2 2x1 1x1", 4, 2, 2, 1, 1, 1);
    add("2x4 1x2 1x2", 2, 4, 1, 2, 1, 2);
    add("2x2 three wide", 2, 2, 1, 1, 1, 1, 3);
    add("1x2 two wide", 1, 2, 1, 1, 1, 1, 2);
    const int ratios[] = {1, 3, 7, 10, 13, 20, 29, 33, 40, 50, 67, 75, 100, 125};
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    for (Layout& layout : layouts) {
        for (bool progressive : {false, true}) {
            layout.options.progressive = progressive;
            const std::string path = folder.WriteFile("s.jpg", MakeJpeg(layout.options));
            for (int ratio : ratios) {
                // The narrow pictures have no pixels left at the smallest ratios.
                if (ScaleDimension(layout.options.width, ratio / 100.0) == 0) continue;
                SCOPED_TRACE(layout.name + (progressive ? " progressive" : " sequential") + " at " +
                             std::to_string(ratio));
                EXPECT_TRUE(ResizeMatchesWholeDecode(path, ratio, image, target));
            }
        }
    }
}

// Sizes a box gives, which no ratio gives: each side sampled on its own, the same rows
// and columns a whole decode and stretch takes.
TEST(ResizeToSize, StreamedSamplingEqualsWholeDecodeAndStretch) {
    struct Size {
        int32_t width, height;
    };
    const Size sizes[] = {{50, 33}, {17, 67}, {1, 1}, {101, 1}, {1, 67}, {303, 5}, {100, 66}};
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    for (const JpegOptions& options : {Options(101, 67), Progressive(Options(101, 67))}) {
        const std::string path = folder.WriteFile("s.jpg", MakeJpeg(options));
        for (const Size& size : sizes) {
            SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height) +
                         (options.progressive ? " progressive" : ""));
            image.LoadFromFile(path);
            const TPixelBuffer whole = image.DecodePicture();
            ResizeToSize(image, target, size.width, size.height);
            EXPECT_EQ(image.Width(), size.width);
            EXPECT_EQ(image.Height(), size.height);
            TPixelBuffer expected;
            expected.SetSize(size.width, size.height);
            StretchNearest(whole, expected);
            EXPECT_TRUE(SamePixels(image.Picture(), expected));
        }
    }
}

TEST(ResizeToRatio, ResizingTwiceStretchesTheHeldPicture) {
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    image.LoadFromFile(folder.WriteFile("a.jpg", MakeJpeg(Options(80, 60))));
    ResizeToRatio(image, target, 50);
    const TPixelBuffer first = image.Picture();
    ResizeToRatio(image, target, 200);  // target shares the source's pixels here
    EXPECT_EQ(image.Width(), 80);
    TPixelBuffer expected;
    expected.SetSize(80, 60);
    StretchNearest(first, expected);
    EXPECT_TRUE(SamePixels(image.Picture(), expected));
}

TEST(ResizeToRatio, OutputKeepsTheSourceScanModeAndTheFixedFormat) {
    struct Case {
        const char* name;
        JpegOptions options;
        bool progressive;
    };
    const Case cases[] = {
        {"baseline", Options(90, 70), false},
        {"progressive", Progressive(Options(90, 70)), true},
        {"gray", Options(90, 70, 1), false},
        {"progressive gray", Progressive(Options(90, 70, 1)), true},
        {"cmyk", Options(90, 70, 4), false},
    };
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = ResizeFile(folder, MakeJpeg(c.options), 50, image, target);
        // Start of frame: C0 baseline, C2 progressive; exactly one of them.
        const bool baseline_frame = out.find("\xFF\xC0", 0, 2) != std::string::npos;
        const bool progressive_frame = out.find("\xFF\xC2", 0, 2) != std::string::npos;
        EXPECT_EQ(baseline_frame, !c.progressive);
        EXPECT_EQ(progressive_frame, c.progressive);
        EXPECT_EQ(out.compare(0, 4, "\xFF\xD8\xFF\xE0"), 0);  // JFIF right after SOI

        const OutputHeader header = ReadOutputHeader(out);
        EXPECT_EQ(header.width, 45);
        EXPECT_EQ(header.height, 35);
        EXPECT_EQ(header.components, 3);
        EXPECT_TRUE(header.jfif);
        EXPECT_EQ(header.jfif_major, 1);
        EXPECT_EQ(header.jfif_minor, 1);
        EXPECT_EQ(header.density_unit, 0);
        EXPECT_EQ(header.x_density, 1);
        EXPECT_EQ(header.y_density, 1);
        const int sampling[3][2] = {{2, 2}, {1, 1}, {1, 1}};
        EXPECT_EQ(std::memcmp(header.sampling, sampling, sizeof sampling), 0);
        EXPECT_EQ(header.luminance, Quality90(kLuminance));
        EXPECT_EQ(header.chrominance, Quality90(kChrominance));
        EXPECT_TRUE(header.app1.empty());
    }
}

TEST(ResizeToRatio, OnlyAnOrientationOtherThanOneIsCarriedOver) {
    struct Case {
        int source_orientation;  // 0: no Exif block
        bool tagged;
    };
    const Case cases[] = {{6, true}, {8, true}, {3, true}, {1, false}, {0, false}};
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source_orientation);
        JpegOptions options = Options(40, 30);
        if (c.source_orientation != 0) {
            options.app_segments.push_back(test::ExifOrientationSegment(c.source_orientation));
            options.app_segments.push_back(std::string("\xED") + "Photoshop 3.0" +
                                           std::string(20, 'x'));
        }
        const std::string out = ResizeFile(folder, MakeJpeg(options), 50, image, target);
        const OutputHeader header = ReadOutputHeader(out);
        EXPECT_EQ(out.find("Photoshop"), std::string::npos);
        if (!c.tagged) {
            EXPECT_TRUE(header.app1.empty());
            continue;
        }
        ASSERT_EQ(header.app1.size(), 1u);
        const std::string& exif = header.app1[0];
        EXPECT_EQ(ReadExifOrientation(reinterpret_cast<const uint8_t*>(exif.data()), exif.size()),
                  c.source_orientation);
        EXPECT_LT(exif.size(), 40u);  // the tag alone
        // Right after the JFIF segment (SOI 2 bytes + APP0 18 bytes).
        EXPECT_EQ(out.compare(20, 2, "\xFF\xE1"), 0);
    }
}

TEST(ResizeToRatio, GraySourceGivesAColourFileOfGrayPixels) {
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    const std::string out = ResizeFile(folder, MakeJpeg(Options(64, 64, 1)), 100, image, target);
    EXPECT_EQ(ReadOutputHeader(out).components, 3);
    const uint8_t* pixel = image.Picture().Row(10) + 3 * 20;
    EXPECT_EQ(pixel[0], pixel[1]);
    EXPECT_EQ(pixel[1], pixel[2]);
}

TEST(ResizeToRatio, TargetsWithoutPixelsOrTooLargeFailBeforeDecoding) {
    TempFolder folder;
    // A header announcing 60000 x 60000 over a tiny arithmetic-coded body: decoding it
    // would fail, so an allocation failure proves the size was refused first.
    const std::string header_only =
        test::WithFrameSize(MakeJpeg(test::Arithmetic(Options(16, 16))), 60000, 60000);
    struct Case {
        const char* name;
        std::string bytes;
        int ratio;
    };
    const Case cases[] = {
        {"ratio 0", MakeJpeg(Options(150, 80)), 0},
        {"one dimension 0", MakeJpeg(Options(150, 80)), 1},
        {"negative", MakeJpeg(Options(400, 300)), -50},
        {"beyond physical memory", header_only, 1000},
        {"billions of pixels each way", header_only, 2000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage image;
        TPixelBuffer target;
        image.LoadFromFile(folder.WriteFile("a.jpg", c.bytes));
        EXPECT_THROW(ResizeToRatio(image, target, c.ratio), EOutOfMemory);
        EXPECT_TRUE(target.Empty());
        // Nothing was taken as content: the loaded file is still there.
        EXPECT_FALSE(image.EncodedBytes().empty());
    }
}

TEST(ResizeToRatio, TooWideForTheEncoderLeavesNoFileAndKeepsAnOldOne) {
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    image.LoadFromFile(folder.WriteFile("wide.jpg", MakeJpeg(Plain(Options(40000, 100)))));
    ResizeToRatio(image, target, 200);
    EXPECT_EQ(image.Width(), 80000);
    for (const bool existing : {false, true}) {
        const std::string out = folder.Slash() + "out.jpg";
        if (existing) folder.WriteFile("out.jpg", "previous result");
        try {
            image.SaveToFile(out);
            ADD_FAILURE() << "encoded an 80000-pixel-wide picture";
        } catch (const EJPEG& error) {
            EXPECT_STREQ(error.what(), "Erreur JPEG #41");
        }
        if (existing)
            EXPECT_EQ(ReadFile(out), "previous result");
        else
            EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                                std::filesystem::directory_iterator()),
                  existing ? 2 : 1);
    }
}

TEST(ResizeToRatio, EmptyFileFailsToDecode) {
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    target.SetSize(10, 10);
    image.LoadFromFile(folder.WriteFile("empty.jpg", ""));
    // 0 x 0 cannot be allocated; the same failure the run reports for any target.
    EXPECT_THROW(ResizeToRatio(image, target, 50), std::exception);
}

TEST(ResizeToRatio, RealProgressivePhotographShrunkHard) {
    const std::string photo = "/usr/share/backgrounds/mate/nature/GreenMeadow.jpg";
    if (!std::filesystem::exists(photo)) GTEST_SKIP() << photo << " is not installed";
    TJPEGImage image;
    TPixelBuffer target;
    for (int ratio : {7, 50}) {
        SCOPED_TRACE(ratio);
        EXPECT_TRUE(ResizeMatchesWholeDecode(photo, ratio, image, target));
    }
}

TEST(ResizeToRatio, RealPhotograph) {
    const std::string photo = "/usr/share/backgrounds/mate/nature/Storm.jpg";
    if (!std::filesystem::exists(photo)) GTEST_SKIP() << photo << " is not installed";
    TempFolder folder;
    TJPEGImage image;
    TPixelBuffer target;
    image.LoadFromFile(photo);
    const int32_t width = image.Width(), height = image.Height();
    const TPixelBuffer whole = image.DecodePicture();
    ResizeToRatio(image, target, 50);
    TPixelBuffer expected;
    expected.SetSize(width / 2, height / 2);
    StretchNearest(whole, expected);
    EXPECT_TRUE(SamePixels(image.Picture(), expected));
    const std::string out = folder.Slash() + "Storm.jpg";
    image.SaveToFile(out);
    const OutputHeader header = ReadOutputHeader(ReadFile(out));
    EXPECT_EQ(header.width, width / 2);
    EXPECT_EQ(header.height, height / 2);
}

}  // namespace
}  // namespace pixmora
