// The memory budget of one file's decoding: what it counts, and headers announcing huge
// pictures over a few hundred bytes, refused before anything large is allocated.
#include "engine/memory/memory_budget.h"

#include <string>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_image.h"
#include "engine/memory/memory_limit.h"
#include "engine/memory/physical_memory.h"
#include "engine/resample/resize_to_ratio.h"
#include "engine/resample/resize_with_lanczos.h"
#include "engine/resample/scale_dimension.h"
#include "engine/run/file_resize.h"
#include "support/jpeg_maker.h"

namespace pixmora {
namespace {

using test::JpegOptions;
using test::MakeJpeg;
using test::NonInterleaved;
using test::Options;
using test::Plain;
using test::Progressive;
using test::WithFrameSize;

constexpr uint64_t kMiB = uint64_t{1} << 20;

void Load(TJPEGImage& image, const std::string& bytes) {
    image.LoadFromMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The largest resident size this process has had, in bytes.
uint64_t PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

TEST(MemoryBudget, DefaultIsHalfTheUsableMemory) {
    EXPECT_EQ(DefaultMemoryBudget(), UsableMemoryBytes() / 2);
    TJPEGImage image;
    EXPECT_EQ(image.MemoryBudget(), DefaultMemoryBudget());
    image.SetMemoryBudget(12345);
    EXPECT_EQ(image.MemoryBudget(), 12345u);
    image.SetMemoryBudget(0);
    EXPECT_EQ(image.MemoryBudget(), DefaultMemoryBudget());
}

// 1024 x 768 at 4:2:0: the target at 100 % takes 2.25 MiB, and so do the coefficients a
// multi-scan file keeps for the whole picture (1.5 blocks of 128 bytes per 64 pixels); a
// single scan needs a few rows only.
TEST(MemoryBudget, CountsTheTargetAndTheWholeImageCoefficients) {
    constexpr uint64_t kTarget = 1024 * 3 * 768;
    constexpr uint64_t kCoefficients = (128 * 96 + 2 * 64 * 48) * 128;
    constexpr uint64_t kRows = kMiB / 2;  // row buffers and tables
    struct Case {
        const char* name;
        JpegOptions options;
        uint64_t budget;
        bool fits;
    };
    const JpegOptions plain = Plain(Options(1024, 768));
    const Case cases[] = {
        {"single scan, short of the target", plain, kTarget - 1, false},
        {"single scan", plain, kTarget + kRows, true},
        {"progressive without its coefficients", Progressive(plain), kTarget + kRows, false},
        {"progressive without the target", Progressive(plain), kCoefficients + kRows, false},
        {"progressive", Progressive(plain), kTarget + kCoefficients + kRows, true},
        {"separate scans without their coefficients", NonInterleaved(plain), kTarget + kRows,
         false},
        {"separate scans", NonInterleaved(plain), kTarget + kCoefficients + kRows, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage image;
        TPixelBuffer target;
        Load(image, MakeJpeg(c.options));
        image.SetMemoryBudget(c.budget);
        if (c.fits) {
            EXPECT_NO_THROW(image.DecodePicture());
            EXPECT_NO_THROW(ResizeToRatio(image, target, 100));
            EXPECT_EQ(image.Width(), 1024);
        } else {
            EXPECT_THROW(image.DecodePicture(), EOutOfMemory);
            EXPECT_THROW(ResizeToRatio(image, target, 100), EOutOfMemory);
            EXPECT_TRUE(target.Empty());
            EXPECT_FALSE(image.EncodedBytes().empty());
        }
    }
}

TEST(MemoryBudget, AReducedDecodeCountsTheReducedPicture) {
    TJPEGImage image;
    Load(image, MakeJpeg(Plain(Options(1024, 768))));
    image.SetMemoryBudget(128 * 3 * 96 + kMiB / 2);  // an eighth each way, and its rows
    EXPECT_EQ(image.DecodePicture(1).Width(), 128);
    EXPECT_THROW(image.DecodePicture(), EOutOfMemory);
}

// The Lanczos filter's rows and weights come out of the same budget, before libjpeg is
// given what is left: short of them, the file fails before it is decoded.
TEST(MemoryBudget, TheLanczosFilterCountsItsRowsAndWeights) {
    constexpr uint64_t kTarget = 256 * 3 * 192;
    constexpr uint64_t kCoefficients = (128 * 96 + 2 * 64 * 48) * 128;
    constexpr uint64_t kRows = kMiB / 2;
    const JpegOptions plain = Plain(Options(1024, 768));
    const uint64_t filter = LanczosMemoryNeed(1024, 768, 256, 192);
    // A reduction to a quarter filters rows decoded at half size: a few of them, never the
    // decoded picture.
    EXPECT_GT(filter, 0u);
    EXPECT_LT(filter, 512 * 3 * 384 / 4);
    TJPEGImage progressive;
    Load(progressive, MakeJpeg(Progressive(plain)));
    EXPECT_EQ(FileMemoryNeed(progressive, 256, 192, ResampleFilter::Lanczos),
              FileMemoryNeed(progressive, 256, 192, ResampleFilter::Nearest) + filter);
    struct Case {
        const char* name;
        JpegOptions options;
        uint64_t budget;
        bool fits;
    };
    // libjpeg does not weigh the few rows of a single scan: only the filter's count fails it.
    const Case cases[] = {
        {"single scan, short of the filter", plain, kTarget + filter - 1, false},
        {"single scan", plain, kTarget + filter, true},
        {"progressive without its coefficients", Progressive(plain), kTarget + filter + kRows,
         false},
        {"progressive", Progressive(plain), kTarget + filter + kCoefficients + kRows, true},
        {"progressive, the file's whole need", Progressive(plain),
         FileMemoryNeed(progressive, 256, 192, ResampleFilter::Lanczos), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TJPEGImage image;
        TPixelBuffer target;
        Load(image, MakeJpeg(c.options));
        image.SetMemoryBudget(c.budget);
        if (c.fits) {
            EXPECT_NO_THROW(ResizeWithLanczos(image, target, 256, 192));
            EXPECT_EQ(image.Width(), 256);
        } else {
            EXPECT_THROW(ResizeWithLanczos(image, target, 256, 192), EOutOfMemory);
            EXPECT_TRUE(target.Empty());
            EXPECT_FALSE(image.EncodedBytes().empty());
        }
    }
}

// Corrupt files of a few hundred bytes whose header claims some 2 to 3 gigapixels: the
// coefficients of a multi-scan file, or the target itself, exceed a budget of 1 GiB, and
// the file fails before its scans are read and before anything large is allocated. They
// are arithmetic-coded: a Huffman-coded one that short is refused at load already.
TEST(MemoryBudget, HugeHeadersOverAFewHundredBytesFailBeforeAllocating) {
    struct Case {
        const char* name;
        JpegOptions options;
        int width, height, ratio;
    };
    const Case cases[] = {
        {"progressive 47000 x 48000 at 1 %", Progressive(Options(16, 16)), 47000, 48000, 1},
        {"progressive 64500 x 32800 at 10 %", Progressive(Options(16, 16)), 64500, 32800, 10},
        {"separate scans 47000 x 48000 at 5 %", NonInterleaved(Options(16, 16)), 47000, 48000, 5},
        {"single scan 64500 x 32800 at 100 %", Options(16, 16), 64500, 32800, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes =
            WithFrameSize(MakeJpeg(test::Arithmetic(c.options)), c.width, c.height);
        EXPECT_LT(bytes.size(), 1000u);
        TJPEGImage image;
        TPixelBuffer target;
        Load(image, bytes);
        EXPECT_EQ(image.Width(), c.width);
        image.SetMemoryBudget(uint64_t{1} << 30);
        const uint64_t peak_before = PeakResidentBytes();
        EXPECT_THROW(ResizeToRatio(image, target, c.ratio), EOutOfMemory);
        EXPECT_THROW(image.DecodePicture(), EOutOfMemory);
        EXPECT_THROW(ResizeWithLanczos(image, target, ScaleDimension(c.width, c.ratio / 100.0),
                                       ScaleDimension(c.height, c.ratio / 100.0)),
                     EOutOfMemory);
        EXPECT_LT(PeakResidentBytes() - peak_before, 64 * kMiB);
        EXPECT_TRUE(target.Empty());
    }
}

}  // namespace
}  // namespace pixmora
