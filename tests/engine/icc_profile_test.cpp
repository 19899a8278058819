// The colour profile from source to output through load, resize and save: RGB profiles
// carried byte for byte, others and damaged ones left out without failing the file.
#include "engine/codec/icc_profile.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/resize_to_ratio.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::IccProfileSegment;
using test::JpegOptions;
using test::MakeJpeg;
using test::Options;
using test::ReadFile;
using test::ReadIccProfile;
using test::TempFolder;

// The most profile bytes libjpeg puts in one APP2 segment.
constexpr size_t kSegmentBytes = 65519;

std::string InstalledProfile(const std::string& path) {
    const std::string profile = ReadFile(path);
    EXPECT_FALSE(profile.empty()) << path << " missing: scripts/setup.sh installs it";
    return profile;
}

// An RGB profile grown past several segments: padding after its tags, the size in its
// header raised to match.
std::string LargeRgbProfile(size_t size) {
    std::string profile = InstalledProfile(test::ColordProfile("AdobeRGB1998.icc"));
    profile.resize(size, '\0');
    for (int i = 0; i < 4; ++i)
        profile[static_cast<size_t>(i)] = static_cast<char>(size >> (24 - 8 * i));
    return profile;
}

// The markers of a file's segments before its first scan, SOI left out.
std::vector<int> MarkersBeforeScan(const std::string& jpeg) {
    std::vector<int> markers;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[at]) == 0xFF) {
        const int marker = static_cast<unsigned char>(jpeg[at + 1]);
        markers.push_back(marker);
        if (marker == 0xDA) break;
        at += 2 + (static_cast<unsigned char>(jpeg[at + 2]) << 8 |
                   static_cast<unsigned char>(jpeg[at + 3]));
    }
    return markers;
}

// Profile bytes compared, a failure told by sizes and the first differing byte.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                         << " were expected, first difference at " << at;
}

std::string Bytes(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

size_t CountOf(const std::vector<int>& markers, int marker) {
    size_t count = 0;
    for (int m : markers) count += m == marker;
    return count;
}

// Loads source from a file, halves it and saves it as the run does; returns the output.
std::string ResizeFile(const TempFolder& folder, const std::string& source, TJPEGImage& image) {
    image.LoadFromFile(folder.WriteFile("in.jpg", source));
    TPixelBuffer target;
    ResizeToRatio(image, target, 50);
    const std::string out = folder.Slash() + "out.jpg";
    image.SaveToFile(out);
    return ReadFile(out);
}

TEST(ICCProfile, RgbProfilesAreCarriedOthersAreNot) {
    struct Case {
        const char* name;
        std::string profile;
        int components;
        bool carried;
    };
    const Case cases[] = {
        {"Adobe RGB", InstalledProfile(test::ColordProfile("AdobeRGB1998.icc")), 3, true},
        {"ProPhoto RGB", InstalledProfile(test::ColordProfile("ProPhotoRGB.icc")), 3, true},
        {"RGB over four segments", LargeRgbProfile(3 * kSegmentBytes + 1000), 3, true},
        {"gray", InstalledProfile(test::GhostscriptProfile("default_gray.icc")), 1, false},
        {"gray on a colour file", InstalledProfile(test::GhostscriptProfile("sgray.icc")), 3,
         false},
        {"CMYK over three segments", InstalledProfile(test::GhostscriptProfile("default_cmyk.icc")),
         4, false},
        {"none", "", 3, false},
    };
    TempFolder folder;
    TJPEGImage image;
    for (const bool progressive : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (progressive ? ", progressive" : ", baseline"));
            JpegOptions options = Options(40, 30, c.components);
            options.progressive = progressive;
            options.icc_profile = c.profile;
            const std::string source = MakeJpeg(options);
            ASSERT_TRUE(SameBytes(ReadIccProfile(source), c.profile));
            const std::string out = ResizeFile(folder, source, image);
            EXPECT_EQ(image.Width(), 20);
            const std::string expected = c.carried ? c.profile : std::string();
            EXPECT_TRUE(SameBytes(Bytes(image.ICCProfile()), expected));
            EXPECT_TRUE(SameBytes(ReadIccProfile(out), expected));
            const size_t segments = (expected.size() + kSegmentBytes - 1) / kSegmentBytes;
            EXPECT_EQ(CountOf(MarkersBeforeScan(out), 0xE2), segments);
        }
    }
}

TEST(ICCProfile, ProfileFollowsTheJfifAndExifSegments) {
    const std::string profile = LargeRgbProfile(kSegmentBytes + 10);
    JpegOptions options = Options(40, 30);
    options.app_segments = {test::ExifOrientationSegment(6)};
    options.icc_profile = profile;
    TempFolder folder;
    TJPEGImage image;
    const std::string out = ResizeFile(folder, MakeJpeg(options), image);
    const std::vector<int> markers = MarkersBeforeScan(out);
    ASSERT_GE(markers.size(), 5u);
    EXPECT_EQ(std::vector<int>(markers.begin(), markers.begin() + 5),
              (std::vector<int>{0xE0, 0xE1, 0xE2, 0xE2, 0xDB}));
    EXPECT_TRUE(SameBytes(ReadIccProfile(out), profile));
}

TEST(ICCProfile, DamagedProfilesAreLeftOutAndTheFileIsStillWritten) {
    const std::string profile = InstalledProfile(test::ColordProfile("AdobeRGB1998.icc"));
    const std::string first = profile.substr(0, 5000), second = profile.substr(5000);
    struct Case {
        const char* name;
        std::vector<std::string> segments;
        std::string carried;
    };
    const Case cases[] = {
        {"second segment missing", {IccProfileSegment(1, 2, first)}, ""},
        {"first segment repeated",
         {IccProfileSegment(1, 2, first), IccProfileSegment(1, 2, first),
          IccProfileSegment(2, 2, second)},
         ""},
        {"numbered beyond the count",
         {IccProfileSegment(1, 2, first), IccProfileSegment(3, 2, second)},
         ""},
        {"numbered from 0", {IccProfileSegment(0, 2, first), IccProfileSegment(2, 2, second)}, ""},
        {"counts disagree", {IccProfileSegment(1, 2, first), IccProfileSegment(2, 3, second)}, ""},
        {"segments without bytes", {IccProfileSegment(1, 1, "")}, ""},
        {"shorter than a profile header", {IccProfileSegment(1, 1, profile.substr(0, 100))}, ""},
        // The numbers give the order, not the place in the file.
        {"stored last first",
         {IccProfileSegment(2, 2, second), IccProfileSegment(1, 2, first)},
         profile},
    };
    TempFolder folder;
    TJPEGImage image;
    for (const bool progressive : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (progressive ? ", progressive" : ", baseline"));
            JpegOptions options = Options(40, 30);
            options.progressive = progressive;
            options.app_segments = c.segments;
            std::string out;
            ASSERT_NO_THROW(out = ResizeFile(folder, MakeJpeg(options), image));
            EXPECT_EQ(image.Height(), 15);
            EXPECT_TRUE(SameBytes(Bytes(image.ICCProfile()), c.carried));
            EXPECT_TRUE(SameBytes(ReadIccProfile(out), c.carried));
            if (c.carried.empty()) {
                EXPECT_EQ(CountOf(MarkersBeforeScan(out), 0xE2), 0u);
            }
        }
    }
}

TEST(ICCProfile, EachLoadReplacesTheProfileAndCopiesKeepIt) {
    JpegOptions tagged = Options(40, 30);
    tagged.icc_profile = InstalledProfile(test::ColordProfile("ProPhotoRGB.icc"));
    TempFolder folder;
    TJPEGImage image;
    EXPECT_TRUE(
        SameBytes(ReadIccProfile(ResizeFile(folder, MakeJpeg(tagged), image)), tagged.icc_profile));
    const TJPEGImage copy = image;
    EXPECT_EQ(copy.ICCProfile().size(), tagged.icc_profile.size());
    EXPECT_TRUE(ReadIccProfile(ResizeFile(folder, MakeJpeg(Options(40, 30)), image)).empty());
    EXPECT_TRUE(image.ICCProfile().empty());
    EXPECT_EQ(copy.ICCProfile().size(), tagged.icc_profile.size());
}

}  // namespace
}  // namespace pixmora
