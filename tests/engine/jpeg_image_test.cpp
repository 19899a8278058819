// Loading and decoding of JPEG files: header-only loads, the codec's error codes, colour
// spaces the decoder turns into RGB.
#include "engine/codec/jpeg_image.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_errors.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::JpegOptions;
using test::MakeJpeg;
using test::Options;
using test::Progressive;
using test::TempFolder;
using test::WithFrameSize;
using test::Ycck;

template <class Action>
int JpegErrorCode(Action&& action) {
    try {
        action();
    } catch (const EJPEG& error) {
        EXPECT_EQ(std::string(error.what()), "Erreur JPEG #" + std::to_string(error.Code()));
        return error.Code();
    }
    return 0;
}

TEST(TJPEGImage, LoadReadsOnlyTheHeader) {
    TempFolder folder;
    TJPEGImage image;
    image.LoadFromFile(folder.WriteFile("a.jpg", MakeJpeg(Options(37, 21))));
    EXPECT_EQ(image.Width(), 37);
    EXPECT_EQ(image.Height(), 21);
    EXPECT_FALSE(image.ProgressiveEncoding());
    EXPECT_TRUE(image.Picture().Empty());

    // Dimensions far beyond memory are fine at load: nothing is decoded yet.
    image.LoadFromFile(folder.WriteFile("big.jpg", WithFrameSize(MakeJpeg({}), 65500, 65500)));
    EXPECT_EQ(image.Width(), 65500);

    image.LoadFromFile(folder.WriteFile("p.jpg", MakeJpeg(Progressive(JpegOptions{}))));
    EXPECT_TRUE(image.ProgressiveEncoding());
    image.LoadFromFile(folder.WriteFile("b.jpg", MakeJpeg({})));
    EXPECT_FALSE(image.ProgressiveEncoding());
}

TEST(TJPEGImage, LoadFailuresCarryTheCodecCode) {
    TempFolder folder;
    TJPEGImage image;
    EXPECT_EQ(JpegErrorCode(
                  [&] { image.LoadFromFile(folder.WriteFile("text.jpg", "just some text\n")); }),
              53);
    EXPECT_EQ(JpegErrorCode([&] {
                  image.LoadFromFile(
                      folder.WriteFile("wide.jpg", WithFrameSize(MakeJpeg({}), 65501, 10)));
              }),
              41);
}

TEST(TJPEGImage, EmptyFileLoadsAsNothingAndFailsToDecode) {
    TempFolder folder;
    TJPEGImage image;
    image.LoadFromFile(folder.WriteFile("a.jpg", MakeJpeg({})));
    image.LoadFromFile(folder.WriteFile("empty.jpg", ""));
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 0);
    EXPECT_EQ(JpegErrorCode([&] { image.DecodePicture(); }), 42);
}

TEST(TJPEGImage, MissingFileNamesItAndTheReason) {
    TempFolder folder;
    TJPEGImage image;
    const std::string path = folder.Slash() + "none.jpg";
    try {
        image.LoadFromFile(path);
        FAIL() << "loaded a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Impossible d'ouvrir le fichier \"" + path + "\". " + std::strerror(ENOENT));
    }
}

TEST(TJPEGImage, CopiesShareTheLoadedBytes) {
    TempFolder folder;
    TJPEGImage image;
    image.LoadFromFile(folder.WriteFile("a.jpg", MakeJpeg({})));
    const TJPEGImage copy = image;
    EXPECT_EQ(copy.EncodedBytes().data(), image.EncodedBytes().data());
    image.LoadFromFile(folder.WriteFile("b.jpg", MakeJpeg(Options(8, 8))));
    EXPECT_EQ(copy.Width(), 64);  // the copy keeps what it had
    EXPECT_EQ(copy.DecodePicture().Width(), 64);
}

// The decoded pixel at x, y against the maker's pattern, with room for JPEG's losses.
void ExpectNearPattern(const TPixelBuffer& picture, int x, int y, int tolerance) {
    uint8_t expected[3];
    test::PatternPixel(x, y, picture.Width(), picture.Height(), expected);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(picture.Row(y)[3 * x + c], expected[c], tolerance)
            << "channel " << c << " at " << x << "," << y;
}

TEST(TJPEGImage, DecodesColourSpacesToRgb) {
    struct Case {
        const char* name;
        JpegOptions options;
    };
    const Case cases[] = {
        {"ycbcr", Options(48, 40)},
        {"adobe cmyk", Options(48, 40, 4)},
        {"adobe ycck", Ycck(Options(48, 40, 4))},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage image;
        image.LoadFromFile(folder.WriteFile("c.jpg", MakeJpeg(c.options)));
        const TPixelBuffer picture = image.DecodePicture();
        ASSERT_EQ(picture.Width(), 48);
        ASSERT_EQ(picture.Height(), 40);
        // Inside the flat checker squares, away from edges that ring.
        for (const auto& [x, y] : {std::pair{3, 3}, {20, 4}, {44, 35}, {27, 19}})
            ExpectNearPattern(picture, x, y, 12);
    }
}

TEST(TJPEGImage, GrayFilesDecodeToDitheredGrayLevels) {
    TempFolder folder;
    TJPEGImage image;
    image.LoadFromFile(folder.WriteFile("g.jpg", MakeJpeg(Options(200, 30, 1))));
    const TPixelBuffer picture = image.DecodePicture();
    bool seen[256] = {};
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const uint8_t* pixel = picture.Row(y) + 3 * x;
            ASSERT_EQ(pixel[0], pixel[1]);
            ASSERT_EQ(pixel[0], pixel[2]);
            seen[pixel[0]] = true;
        }
    // 236 evenly spaced levels from 0 to 255: the ramp uses many of them, and only them.
    int levels = 0;
    for (int v = 0; v < 256; ++v) {
        if (!seen[v]) continue;
        ++levels;
        bool on_grid = false;
        for (int i = 0; i < 236; ++i) on_grid |= (i * 255 + 117) / 235 == v;
        EXPECT_TRUE(on_grid) << v;
    }
    EXPECT_GT(levels, 150);
}

TEST(TJPEGImage, OtherComponentCountsFailToDecode) {
    TempFolder folder;
    TJPEGImage image;
    image.LoadFromFile(folder.WriteFile("two.jpg", MakeJpeg(Options(64, 48, 2))));
    EXPECT_NE(JpegErrorCode([&] { image.DecodePicture(); }), 0);
}

}  // namespace
}  // namespace pixmora
