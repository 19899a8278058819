// Metadata through load, resize and save: with keep_metadata the source's Exif, XMP,
// Photoshop and comment segments reach the copy byte for byte, each kind in its order and
// the colour profile where it always is; without it only the orientation and the profile.
#include "engine/codec/jpeg_metadata.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/exif_orientation.h"
#include "engine/codec/jpeg_image.h"
#include "engine/resample/resize_to_ratio.h"
#include "support/jpeg_maker.h"
#include "support/jpeg_markers.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::JpegSegment;
using test::TempFolder;

constexpr int kApp0 = 0xE0, kApp1 = 0xE1, kApp2 = 0xE2, kApp12 = 0xEC, kApp13 = 0xED;
constexpr int kComment = 0xFE;
// The most data a segment holds after its length field.
constexpr size_t kMostSegmentData = 65533;

// A segment as the maker takes it: marker byte, then the data.
std::string Segment(int marker, const std::string& data) {
    return std::string(1, static_cast<char>(marker)) + data;
}

// data grown with a repeating filler to size bytes.
std::string Filled(std::string data, size_t size) {
    for (size_t i = data.size(); i < size; ++i) data += static_cast<char>('a' + i % 26);
    return data;
}

struct Source {
    std::string bytes;
    std::vector<JpegSegment> carried;  // what a copy with its metadata holds, in order
};

// A photo as a camera and an editor leave it: Exif with orientation 6 and more in it,
// XMP, extended XMP, IPTC, comments, a colour profile, and segments no copy carries.
Source RichSource() {
    // The orientation-only block with a maker's bytes after it, unlike the one we write.
    const std::string exif = test::ExifOrientationSegment(6).substr(1) + "Pixmora test maker";
    const std::string xmp = std::string("http://ns.adobe.com/xap/1.0/\0", 29) + "<x:xmpmeta/>";
    const std::string extended = Filled(std::string("http://ns.adobe.com/xmp/extension/\0", 35) +
                                            "0123456789ABCDEF0123456789ABCDEF",
                                        kMostSegmentData);
    const std::string iptc = Filled(std::string("Photoshop 3.0\0", 14) + "8BIM", 3000);
    const std::string comment = "first comment";
    const std::string long_comment = Filled("", kMostSegmentData);
    test::JpegOptions options = test::Options(64, 48);
    options.app_segments = {
        Segment(kApp1, exif),
        Segment(kComment, comment),
        Segment(kApp1, std::string("Foo\0", 4) + "unknown maker"),
        Segment(kApp13, iptc),
        Segment(kApp1, xmp),
        Segment(kApp12, "Ducky\0\0"),
        Segment(kApp13, std::string("Adobe_CM\0", 9)),
        Segment(kApp1, extended),
        Segment(kComment, long_comment),
    };
    options.icc_profile = test::ReadFile(test::ColordProfile("AdobeRGB1998.icc"));
    EXPECT_FALSE(options.icc_profile.empty()) << "colord-data missing: scripts/setup.sh";
    Source source;
    source.bytes = test::MakeJpeg(options);
    // Exif and XMP, the profile, then IPTC and the comments, each in the source's order.
    source.carried = {{kApp1, exif},  {kApp1, xmp},        {kApp1, extended},       {kApp2, ""},
                      {kApp13, iptc}, {kComment, comment}, {kComment, long_comment}};
    return source;
}

// The application and comment segments of a file, a profile's APP2 as one empty entry.
std::vector<JpegSegment> MetadataSegments(const std::string& jpeg) {
    std::vector<JpegSegment> kept;
    for (const JpegSegment& segment : test::ReadJpegSegments(jpeg)) {
        if (segment.marker == kApp0) continue;  // the encoder's own JFIF
        if (segment.marker == kApp2) {
            if (kept.empty() || kept.back().marker != kApp2) kept.push_back({kApp2, ""});
            continue;
        }
        if ((segment.marker >= kApp1 && segment.marker <= 0xEF) || segment.marker == kComment)
            kept.push_back(segment);
    }
    return kept;
}

void ExpectSegments(const std::vector<JpegSegment>& actual,
                    const std::vector<JpegSegment>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE("segment " + std::to_string(i));
        EXPECT_EQ(actual[i].marker, expected[i].marker);
        EXPECT_EQ(actual[i].data.size(), expected[i].data.size());
        EXPECT_TRUE(actual[i].data == expected[i].data);
    }
}

// Loads bytes with the choices, halves the picture and saves it; returns the output.
std::string Resize(const TempFolder& folder, const std::string& bytes, TJPEGImage& image,
                   bool keep_metadata) {
    image.SetSaveChoices({90, keep_metadata});
    image.LoadFromFile(folder.WriteFile("in.jpg", bytes));
    TPixelBuffer target;
    ResizeToRatio(image, target, 50);
    image.SaveToFile(folder.Slash() + "out.jpg");
    return test::ReadFile(folder.Slash() + "out.jpg");
}

TEST(JPEGMetadata, KeptSegmentsReachTheCopyByteForByteInTheirOrder) {
    const Source source = RichSource();
    TempFolder folder;
    TJPEGImage image;
    const std::string out = Resize(folder, source.bytes, image, true);
    ExpectSegments(MetadataSegments(out), source.carried);
    EXPECT_EQ(image.Orientation(), 6);
    EXPECT_TRUE(test::ReadIccProfile(out) == test::ReadIccProfile(source.bytes));
}

TEST(JPEGMetadata, WithoutKeepingOnlyTheOrientationAndTheProfileGo) {
    const Source source = RichSource();
    TempFolder folder;
    TJPEGImage image;
    const std::string out = Resize(folder, source.bytes, image, false);
    EXPECT_EQ(image.Metadata(), nullptr);
    ExpectSegments(MetadataSegments(out), {{kApp1, MakeExifOrientationPayload(6)}, {kApp2, ""}});
}

TEST(JPEGMetadata, EachLoadTakesItsOwnFilesMetadata) {
    TempFolder folder;
    TJPEGImage image;  // reused, as a run's worker reuses its image
    Resize(folder, RichSource().bytes, image, true);
    // A plain file after a rich one: nothing of the earlier one stays.
    const std::string plain = Resize(folder, test::MakeJpeg(test::Options(32, 32)), image, true);
    ASSERT_NE(image.Metadata(), nullptr);
    EXPECT_TRUE(image.Metadata()->empty());
    EXPECT_TRUE(MetadataSegments(plain).empty());
    // Kept, then not: the choice holds from the next load on.
    Resize(folder, RichSource().bytes, image, true);
    const std::string rich = Resize(folder, RichSource().bytes, image, false);
    EXPECT_EQ(MetadataSegments(rich).size(), 2u);
}

TEST(JPEGMetadata, OnlyTheNamedSegmentsAreCarried) {
    struct Row {
        int marker;
        std::string data;
        bool carried;
        MetadataKind kind;
    };
    const Row rows[] = {
        {kApp1, std::string("Exif\0\0MM", 8), true, MetadataKind::Exif},
        {kApp1, std::string("Exif\0", 5), false, MetadataKind::Exif},
        {kApp1, std::string("http://ns.adobe.com/xap/1.0/\0<x/>", 33), true, MetadataKind::XMP},
        {kApp1, "http://ns.adobe.com/xap/1.0/", false, MetadataKind::XMP},
        {kApp1, std::string("http://ns.adobe.com/xmp/extension/\0", 35), true, MetadataKind::XMP},
        {kApp13, std::string("Photoshop 3.0\08BIM", 18), true, MetadataKind::Photoshop},
        {kApp1, std::string("Photoshop 3.0\0", 14), false, MetadataKind::Photoshop},
        {kApp13, std::string("Exif\0\0", 6), false, MetadataKind::Exif},
        {kComment, "", true, MetadataKind::Comment},
        {kApp12, "Ducky", false, MetadataKind::Comment},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.data);
        MetadataKind kind = MetadataKind::Comment;
        const auto* data = reinterpret_cast<const uint8_t*>(row.data.data());
        EXPECT_EQ(CarriedMetadataKind(row.marker, data, row.data.size(), kind), row.carried);
        if (row.carried) {
            EXPECT_EQ(kind, row.kind);
        }
    }
}

}  // namespace
}  // namespace pixmora
