// The Lanczos-3 resize against a direct double-precision Lanczos-3 computed here: held
// pictures of awkward sizes, real files at every reduced decode scale, gray levels kept,
// damaged data told, and a zone plate that nearest-neighbour sampling aliases.
#include "engine/resample/resize_with_lanczos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_decompress_object.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/resample/resize_to_ratio.h"
#include "engine/resample/scale_dimension.h"
#include "support/jpeg_maker.h"

namespace pixmora {
namespace {

using test::ChromaSampling;
using test::JpegOptions;
using test::MakeJpeg;
using test::Options;
using test::Progressive;
using test::Sampling;

constexpr double kPi = 3.14159265358979323846;

// Red, green and blue of every pixel, row by row, in double precision.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<double> values;

    Picture(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h * 3) {}
    double& At(int x, int y, int c) { return values[(static_cast<size_t>(y) * width + x) * 3 + c]; }
    double At(int x, int y, int c) const {
        return values[(static_cast<size_t>(y) * width + x) * 3 + c];
    }
};

Picture FromBuffer(const TPixelBuffer& buffer) {
    Picture picture(buffer.Width(), buffer.Height());
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x)
            for (int c = 0; c < 3; ++c) picture.At(x, y, c) = buffer.Row(y)[3 * x + c];
    return picture;
}

TPixelBuffer ToBuffer(const Picture& picture) {
    TPixelBuffer buffer;
    buffer.SetSize(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                buffer.Row(y)[3 * x + c] = static_cast<uint8_t>(picture.At(x, y, c));
    return buffer;
}

double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

// The source indices target index t takes and their weights: Lanczos-3 centred on
// (t + 0.5) x span / target - 0.5, stretched by the reduction factor, indices beyond the
// edges taking the edge pixel, weights summing to 1.
std::vector<std::pair<int, double>> Window(int source, double span, int target, int t) {
    const double scale = span / target;
    const double stretch = std::max(1.0, scale);
    const double centre = (t + 0.5) * scale - 0.5;
    std::vector<std::pair<int, double>> window;
    double sum = 0.0;
    for (int j = static_cast<int>(std::floor(centre - 3 * stretch));
         j <= static_cast<int>(std::ceil(centre + 3 * stretch)); ++j) {
        const double x = (j - centre) / stretch;
        if (std::fabs(x) >= 3.0) continue;
        const double weight = Sinc(x) * Sinc(x / 3.0);
        window.emplace_back(std::clamp(j, 0, source - 1), weight);
        sum += weight;
    }
    for (auto& tap : window) tap.second /= sum;
    return window;
}

// Every target value as one sum over the source pixels of its two-dimensional window.
Picture Lanczos3(const Picture& source, double span_x, double span_y, int width, int height) {
    Picture target(width, height);
    for (int y = 0; y < height; ++y) {
        const auto rows = Window(source.height, span_y, height, y);
        for (int x = 0; x < width; ++x) {
            const auto columns = Window(source.width, span_x, width, x);
            for (int c = 0; c < 3; ++c) {
                double sum = 0.0;
                for (const auto& [row, wy] : rows)
                    for (const auto& [column, wx] : columns)
                        sum += wy * wx * source.At(column, row, c);
                target.At(x, y, c) = sum;
            }
        }
    }
    return target;
}

// Largest difference between got and expected rounded to levels 0 to 255.
int MaxDifference(const TPixelBuffer& got, const Picture& expected) {
    EXPECT_EQ(got.Width(), expected.width);
    EXPECT_EQ(got.Height(), expected.height);
    if (got.Width() != expected.width || got.Height() != expected.height) return 256;
    int most = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const double level = std::round(std::clamp(expected.At(x, y, c), 0.0, 255.0));
                most = std::max(most, static_cast<int>(std::fabs(got.Row(y)[3 * x + c] - level)));
            }
    return most;
}

// Peak signal-to-noise ratio of got against expected (clipped to 0 to 255), in dB.
double Psnr(const TPixelBuffer& got, const Picture& expected) {
    double squares = 0.0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const double d =
                    got.Row(y)[3 * x + c] - std::clamp(expected.At(x, y, c), 0.0, 255.0);
                squares += d * d;
            }
    const double mean = squares / expected.values.size();
    return 10.0 * std::log10(255.0 * 255.0 / mean);
}

// Noise over smooth ramps and a hard edge: ringing, clipping and every phase of the
// window show.
Picture Detailed(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(random() % 96);
            picture.At(x, y, 0) = (x * 160) / std::max(1, width - 1) + noise;
            picture.At(x, y, 1) = (y * 160) / std::max(1, height - 1) + noise / 2;
            picture.At(x, y, 2) = (x < width / 2 ? 10 : 245);
        }
    return picture;
}

void Load(TJPEGImage& image, const std::string& bytes) {
    image.LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A gray file decoded by libjpeg with the decoder's parameters, every level as coded.
Picture GrayDecode(const std::string& bytes, int eighths) {
    TDecompressObject object;
    jpeg_decompress_struct& info = object.Info();
    std::vector<uint8_t> levels;
    object.Run([&] {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        jpeg_read_header(&info, TRUE);
        info.scale_num = static_cast<unsigned>(eighths);
        info.scale_denom = 8;
        info.do_block_smoothing = TRUE;
        info.dct_method = JDCT_FLOAT;
        info.do_fancy_upsampling = TRUE;
        jpeg_start_decompress(&info);
        levels.resize(static_cast<size_t>(info.output_width) * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = &levels[static_cast<size_t>(info.output_scanline) * info.output_width];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
    });
    Picture picture(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            for (int c = 0; c < 3; ++c)
                picture.At(x, y, c) = levels[static_cast<size_t>(y) * picture.width + x];
    return picture;
}

TEST(ResizeWithLanczos, HeldPicturesMatchADirectLanczos3) {
    struct Case {
        const char* name;
        int source_width, source_height, width, height;
        int tolerance;
    };
    const Case cases[] = {
        {"same size: the picture itself", 23, 17, 23, 17, 0},
        {"a quarter", 64, 48, 16, 12, 1},
        {"odd factor", 101, 67, 37, 23, 1},
        {"enlarged, odd sizes", 31, 19, 97, 60, 1},
        {"slightly enlarged", 40, 30, 41, 31, 1},
        {"narrowed and heightened", 64, 16, 20, 41, 1},
        {"one pixel enlarged", 1, 1, 5, 3, 1},
        {"one pixel wide", 1, 40, 1, 9, 1},
        {"one pixel high, enlarged", 37, 1, 80, 1, 1},
        {"to one pixel", 40, 30, 1, 1, 1},
        {"by 30: windows of over 64 rows", 300, 210, 10, 7, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture source = Detailed(c.source_width, c.source_height, 7);
        TJPEGImage image;
        image.Assign(ToBuffer(source));
        TPixelBuffer target;
        ResizeWithLanczos(image, target, c.width, c.height);
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
        EXPECT_TRUE(image.Picture().SharesPixelsWith(target));
        EXPECT_LE(MaxDifference(
                      target, Lanczos3(source, c.source_width, c.source_height, c.width, c.height)),
                  c.tolerance);
    }
}

TEST(ResizeWithLanczos, APictureSharingTheTargetsPixelsIsResizedAgain) {
    const Picture source = Detailed(90, 70, 3);
    TJPEGImage image;
    image.Assign(ToBuffer(source));
    TPixelBuffer target;
    ResizeWithLanczos(image, target, 45, 35);
    const Picture half = FromBuffer(target);
    ResizeWithLanczos(image, target, 20, 15);
    EXPECT_LE(MaxDifference(target, Lanczos3(half, 45, 35, 20, 15)), 1);
}

// Each file is filtered from the decode at the scale that leaves the filter a factor of at
// least 2: a reference made from any other scale differs by many levels on this pattern.
TEST(ResizeWithLanczos, FilesAreFilteredFromTheReducedDecode) {
    struct Case {
        const char* name;
        JpegOptions options;
        int ratio;
        int eighths;
    };
    const Case cases[] = {
        {"4:2:0 at 60 %: full size", Options(203, 151), 60, 8},
        {"4:2:0 at 25 %: a half", Options(203, 151), 25, 4},
        {"4:2:0 at 10 %: a quarter", Options(203, 151), 10, 2},
        {"4:2:0 at 5 %: an eighth", Options(203, 151), 5, 1},
        {"4:2:0 enlarged", Options(41, 29), 170, 8},
        {"progressive at 25 %", Progressive(Options(160, 120)), 25, 4},
        {"4:4:4 at 25 %", Sampling(Options(99, 77), 1, 1), 25, 4},
        {"4:2:2 at 12 %", Sampling(Options(250, 90), 2, 1), 12, 2},
        {"4:1:1 at 12 %", ChromaSampling(Sampling(Options(180, 64), 4, 1), 1, 1, 1, 1), 12, 2},
        {"cmyk at 25 %", Options(96, 80, 4), 25, 4},
        {"ycck at 12 %", test::Ycck(Options(120, 88, 4)), 12, 2},
        {"gray at 25 %", Options(99, 45, 1), 25, 4},
        {"gray at 100 %", Options(64, 40, 1), 100, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = MakeJpeg(c.options);
        TJPEGImage image;
        Load(image, bytes);
        const int width = ScaleDimension(image.Width(), c.ratio / 100.0);
        const int height = ScaleDimension(image.Height(), c.ratio / 100.0);
        const Picture decoded = c.options.components == 1
                                    ? GrayDecode(bytes, c.eighths)
                                    : FromBuffer(image.DecodePicture(c.eighths));
        const Picture expected = Lanczos3(decoded, c.options.width * c.eighths / 8.0,
                                          c.options.height * c.eighths / 8.0, width, height);
        TPixelBuffer target;
        ResizeWithLanczos(image, target, width, height);
        EXPECT_EQ(image.DecodeWarnings(), 0);
        EXPECT_TRUE(image.EncodedBytes().empty());
        EXPECT_LE(MaxDifference(target, expected), 1);
    }
}

TEST(ResizeWithLanczos, GrayLevelsAreNotDithered) {
    const std::string bytes = MakeJpeg(Options(64, 40, 1));
    TJPEGImage image;
    Load(image, bytes);
    const TPixelBuffer dithered = image.DecodePicture();
    TPixelBuffer target;
    ResizeWithLanczos(image, target, 64, 40);
    // At the same size the filter keeps the pixels: the exact decode, which the window's
    // 236 dithered levels are not.
    EXPECT_EQ(MaxDifference(target, GrayDecode(bytes, 8)), 0);
    EXPECT_GT(MaxDifference(dithered, GrayDecode(bytes, 8)), 0);
}

TEST(ResizeWithLanczos, DamagedDataIsNotedAndFilteredAllTheSame) {
    const std::string whole = MakeJpeg(Options(200, 160));
    TJPEGImage image;
    Load(image, whole.substr(0, whole.size() / 2));
    TPixelBuffer target;
    ResizeWithLanczos(image, target, 50, 40);
    EXPECT_EQ(image.Width(), 50);
    EXPECT_GT(image.DecodeWarnings(), 0);
    EXPECT_EQ(image.FirstWarning(), "Premature end of JPEG file");
}

TEST(ResizeWithLanczos, WhatCannotBeResizedFailsBeforeDecoding) {
    TJPEGImage image;
    TPixelBuffer target;
    EXPECT_THROW(ResizeWithLanczos(image, target, 10, 10), EJPEG);
    Load(image, MakeJpeg(Options(64, 48)));
    EXPECT_THROW(ResizeWithLanczos(image, target, 0, 12), EOutOfMemory);
    EXPECT_THROW(ResizeWithLanczos(image, target, 16, -1), EOutOfMemory);
    EXPECT_TRUE(target.Empty());
    EXPECT_FALSE(image.EncodedBytes().empty());
}

// Rings whose frequency grows with the square of the radius, up to the source's limit at
// the edges: reduced to a quarter, everything past the first eighth of the radius is too
// fine for the target and must fade to grey, where sampling folds it into false rings.
TEST(ResizeWithLanczos, AZonePlateIsReducedWithoutAliasing) {
    constexpr int kSize = 512;
    constexpr int kTarget = kSize / 4;
    Picture plate(kSize, kSize);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double dx = x + 0.5 - kSize / 2.0, dy = y + 0.5 - kSize / 2.0;
            const double value = 127.5 + 127.5 * std::cos(kPi * (dx * dx + dy * dy) / kSize);
            for (int c = 0; c < 3; ++c) {
                plate.At(x, y, c) = value;
                pixels.push_back(static_cast<uint8_t>(std::lround(value)));
            }
        }
    JpegOptions options = Sampling(Options(kSize, kSize), 1, 1);
    options.quality = 100;
    options.pixels = pixels;
    const std::string bytes = MakeJpeg(options);
    const Picture ideal = Lanczos3(plate, kSize, kSize, kTarget, kTarget);

    TJPEGImage image;
    TPixelBuffer nearest, lanczos;
    Load(image, bytes);
    ResizeToRatio(image, nearest, 25);
    Load(image, bytes);
    ResizeWithLanczos(image, lanczos, kTarget, kTarget);
    const double nearest_db = Psnr(nearest, ideal);
    const double lanczos_db = Psnr(lanczos, ideal);
    RecordProperty("nearest_psnr", std::to_string(nearest_db));
    RecordProperty("lanczos_psnr", std::to_string(lanczos_db));
    EXPECT_LT(nearest_db, 14.0);
    EXPECT_GT(lanczos_db, 27.0);
}

}  // namespace
}  // namespace pixmora
