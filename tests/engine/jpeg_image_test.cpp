// Loading and decoding of JPEG files: header-only loads, the codec's error codes, colour
// spaces the decoder turns into RGB.
#include "engine/codec/jpeg_image.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/resample/resize_to_ratio.h"
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

    // Dimensions far beyond memory are fine at load: nothing is decoded yet. (Arithmetic
    // coding, which may hold a huge picture in a few bytes.)
    image.LoadFromFile(folder.WriteFile(
        "big.jpg", WithFrameSize(MakeJpeg(test::Arithmetic(JpegOptions{})), 65500, 65500)));
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

// Opening a FIFO that no one writes, or reading a device, would hold the run for ever.
TEST(TJPEGImage, WhatIsNotARegularFileIsRefusedWithoutWaiting) {
    TempFolder folder;
    const std::string fifo = folder.Slash() + "fifo.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const std::string socket_path = folder.Slash() + "socket.jpg";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socket_path.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string folder_named_jpg = folder.Slash() + "folder.jpg";
    std::filesystem::create_directory(folder_named_jpg);
    for (const std::string& path :
         {fifo, socket_path, std::string("/dev/zero"), folder_named_jpg}) {
        SCOPED_TRACE(path);
        TJPEGImage image;
        image.LoadFromFile(folder.WriteFile("a.jpg", MakeJpeg({})));
        try {
            image.LoadFromFile(path);
            ADD_FAILURE() << "loaded";
        } catch (const ENotRegularFile& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Impossible d'ouvrir le fichier \"" + path + "\". not a regular file");
            EXPECT_EQ(error.Reason(), "not a regular file");
            // The window handles it as any file that cannot be opened.
            EXPECT_NE(dynamic_cast<const EFOpenError*>(&error), nullptr);
        }
        EXPECT_EQ(image.Width(), 0);
        EXPECT_TRUE(image.EncodedBytes().empty());
    }
    close(listener);
}

// The addresses of the mappings of path in this process's memory.
std::vector<std::pair<uintptr_t, uintptr_t>> MappingsOf(const std::string& path) {
    std::vector<std::pair<uintptr_t, uintptr_t>> ranges;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.size() < path.size() ||
            line.compare(line.size() - path.size(), path.size(), path) != 0)
            continue;
        ranges.emplace_back(std::stoull(line, nullptr, 16),
                            std::stoull(line.substr(line.find('-') + 1), nullptr, 16));
    }
    return ranges;
}

TEST(TJPEGImage, TheLoadedFileIsMappedNotCopied) {
    TempFolder folder;
    const std::string bytes = MakeJpeg(Options(300, 200));
    const std::string path = folder.WriteFile("a.jpg", bytes);
    TJPEGImage image;
    image.LoadFromFile(path);
    const TByteView loaded = image.EncodedBytes();
    ASSERT_EQ(std::string(loaded.begin(), loaded.end()), bytes);
    const auto address = reinterpret_cast<uintptr_t>(loaded.data());
    bool inside = false;
    for (const auto& [first, end] : MappingsOf(std::filesystem::canonical(path).string()))
        inside |= address >= first && address + loaded.size() <= end;
    EXPECT_TRUE(inside);
    EXPECT_EQ(image.DecodePicture().Width(), 300);

    // Unmapped once the image lets it go.
    image.LoadFromFile(folder.WriteFile("b.jpg", MakeJpeg(Options(8, 8))));
    EXPECT_TRUE(MappingsOf(std::filesystem::canonical(path).string()).empty());
}

// A file whose size reads 0 but that has bytes (the files of /proc) is read to its end.
TEST(TJPEGImage, AFileThatCannotBeMappedIsReadWhole) {
    TJPEGImage image;
    EXPECT_EQ(JpegErrorCode([&] { image.LoadFromFile("/proc/self/status"); }), 53);
}

// A Huffman-coded frame spends at least one bit on each 8 x 8 block of its first
// component: fewer bits cannot be a whole file, and decoding them would only make a huge
// grey picture.
TEST(TJPEGImage, AFileTooShortForItsPictureIsRefusedAtLoad) {
    struct Case {
        const char* name;
        JpegOptions options;
        int width, height;
        bool refused;
    };
    const Case cases[] = {
        {"progressive", Progressive(Options(16, 16)), 49157, 27397, true},
        {"baseline", Options(16, 16), 4000, 3000, true},
        {"gray", Options(16, 16, 1), 1000, 1000, true},
        {"arithmetic may be that small", test::Arithmetic(Options(16, 16)), 49157, 27397, false},
        {"plain colour is cheap but not that cheap", test::Plain(Options(2000, 1500)), 2000, 1500,
         false},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = WithFrameSize(MakeJpeg(c.options), c.width, c.height);
        TJPEGImage image;
        try {
            image.LoadFromFile(folder.WriteFile("d.jpg", bytes));
            EXPECT_FALSE(c.refused);
            EXPECT_EQ(image.Width(), c.width);
        } catch (const EDamagedData& error) {
            EXPECT_TRUE(c.refused);
            EXPECT_EQ(std::string(error.what()),
                      std::to_string(bytes.size()) + " bytes cannot hold a " +
                          std::to_string(c.width) + " x " + std::to_string(c.height) + " picture");
        }
        // From memory the same.
        if (c.refused) {
            EXPECT_THROW(
                image.LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                EDamagedData);
        }
    }
}

// A file cut short decodes with its missing part grey; libjpeg's warnings tell it.
TEST(TJPEGImage, DamagedDataIsCountedWithLibjpegsFirstWarning) {
    struct Case {
        const char* name;
        std::string bytes;
        bool damaged;
    };
    const std::string baseline = MakeJpeg(Options(320, 240));
    const std::string progressive = MakeJpeg(Progressive(Options(320, 240)));
    const Case cases[] = {
        {"whole", baseline, false},
        {"whole progressive", progressive, false},
        {"cut in half", baseline.substr(0, baseline.size() / 2), true},
        {"progressive cut in half", progressive.substr(0, progressive.size() / 2), true},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.WriteFile("w.jpg", c.bytes);
        for (const bool resized : {false, true}) {
            SCOPED_TRACE(resized ? "resized" : "decoded");
            TJPEGImage image;
            image.LoadFromFile(path);
            if (resized) {
                TPixelBuffer target;
                ResizeToRatio(image, target, 50);
            } else {
                EXPECT_EQ(image.DecodePicture().Height(), 240);
            }
            if (c.damaged) {
                EXPECT_GE(image.DecodeWarnings(), 1);
                EXPECT_EQ(image.FirstWarning(), "Premature end of JPEG file");
            } else {
                EXPECT_EQ(image.DecodeWarnings(), 0);
                EXPECT_EQ(image.FirstWarning(), "");
            }
            // A new load starts clean.
            image.LoadFromFile(folder.WriteFile("fine.jpg", MakeJpeg({})));
            EXPECT_EQ(image.DecodeWarnings(), 0);
        }
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
