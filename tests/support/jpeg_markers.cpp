// Walking the segments by their length fields, and the zigzag order of the DQT tables.
#include "support/jpeg_markers.h"

#include <gtest/gtest.h>

namespace pixmora::test {

namespace {

// The natural position of the k-th value in zigzag order.
constexpr int kZigzagToNatural[64] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

int Byte(const std::string& bytes, size_t at) { return static_cast<unsigned char>(bytes[at]); }

}  // namespace

std::vector<JpegSegment> ReadJpegSegments(const std::string& jpeg) {
    std::vector<JpegSegment> segments;
    if (jpeg.size() < 2 || Byte(jpeg, 0) != 0xFF || Byte(jpeg, 1) != 0xD8) {
        ADD_FAILURE() << "no start of image";
        return segments;
    }
    size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (Byte(jpeg, at) != 0xFF) {
            ADD_FAILURE() << "no marker at byte " << at;
            return segments;
        }
        const int marker = Byte(jpeg, at + 1);
        const size_t length = static_cast<size_t>(Byte(jpeg, at + 2) << 8 | Byte(jpeg, at + 3));
        if (length < 2 || at + 2 + length > jpeg.size()) {
            ADD_FAILURE() << "segment at byte " << at << " runs past the end";
            return segments;
        }
        segments.push_back({marker, jpeg.substr(at + 4, length - 2)});
        if (marker == 0xDA) return segments;
        at += 2 + length;
    }
    ADD_FAILURE() << "no start of scan";
    return segments;
}

std::map<int, std::array<int, 64>> ReadQuantTables(const std::vector<JpegSegment>& segments) {
    std::map<int, std::array<int, 64>> tables;
    for (const JpegSegment& segment : segments) {
        if (segment.marker != 0xDB) continue;
        const std::string& d = segment.data;
        for (size_t at = 0; at < d.size();) {
            const bool wide = (Byte(d, at) >> 4) != 0;
            const int number = Byte(d, at) & 0x0F;
            const size_t size = wide ? 128 : 64;
            if (at + 1 + size > d.size()) {
                ADD_FAILURE() << "DQT table " << number << " cut short";
                return tables;
            }
            std::array<int, 64>& table = tables[number];
            for (int k = 0; k < 64; ++k) {
                const size_t value = at + 1 + (wide ? 2 * k : k);
                table[kZigzagToNatural[k]] =
                    wide ? Byte(d, value) << 8 | Byte(d, value + 1) : Byte(d, value);
            }
            at += 1 + size;
        }
    }
    return tables;
}

}  // namespace pixmora::test
