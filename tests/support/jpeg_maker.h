// Writes small JPEG files for tests with libjpeg, so that no picture needs to be shipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixmora::test {

struct JpegSpec {
    int width = 64;
    int height = 48;
    int components = 3;  // 1 gray, 3 YCbCr from RGB, 4 CMYK (written as Adobe inverted CMYK)
    bool progressive = false;
    int quality = 85;
    std::vector<std::string> app_segments;  // raw marker payloads as {marker byte, data...}
};

// The test pattern pixel (r, g, b) at x, y: smooth ramps that survive compression well.
void PatternPixel(int x, int y, int width, int height, uint8_t rgb[3]);

// Encodes the pattern (or a single-colour picture for components 1 and 4) in memory.
std::string MakeJpeg(const JpegSpec& spec);

// An APP1 payload holding a minimal little-endian Exif block with one Orientation tag.
std::string ExifOrientationSegment(int orientation);

}  // namespace pixmora::test
