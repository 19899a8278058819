// Reading the orientation tag from untrusted Exif blocks, and the block written back.
#include "engine/codec/exif_orientation.h"

#include <string>

#include <gtest/gtest.h>

#include "support/jpeg_maker.h"

namespace pixmora {
namespace {

int Read(const std::string& payload) {
    return ReadExifOrientation(reinterpret_cast<const uint8_t*>(payload.data()), payload.size());
}

// The test maker's APP1 segments start with the marker byte.
std::string Payload(int orientation) { return test::ExifOrientationSegment(orientation).substr(1); }

TEST(ExifOrientation, ReadsBothByteOrders) {
    EXPECT_EQ(Read(Payload(6)), 6);  // little-endian
    for (int orientation = 1; orientation <= 8; ++orientation)
        EXPECT_EQ(Read(MakeExifOrientationPayload(orientation)), orientation);  // big-endian
}

TEST(ExifOrientation, RejectsDamagedOrForeignBlocks) {
    const std::string good = Payload(6);
    const std::string cases[] = {
        "",
        "Exif",
        "http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>",
        good.substr(0, good.size() - 10),                         // entry cut short
        good.substr(0, 6) + "XX*\0\x08\0\0\0" + good.substr(14),  // unknown byte order
        good.substr(0, 10) + std::string("\xff\xff\xff\x7f", 4) + good.substr(14),  // IFD far away
        // 65535 entries announced, none of them the orientation, past the end.
        good.substr(0, 14) + std::string("\xff\xff\x13\x01", 4) + good.substr(18),
        Payload(0),
        Payload(9),
    };
    for (const std::string& payload : cases) EXPECT_EQ(Read(payload), 0) << &payload - cases;
}

}  // namespace
}  // namespace pixmora
