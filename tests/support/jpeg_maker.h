// Writes small JPEG files for tests with libjpeg, so that no picture needs to be shipped,
// and reads back the colour profile of a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pixmora::test {

struct JpegOptions {
    int width = 64;
    int height = 48;
    int components = 3;  // 1 gray, 2 two unnamed channels, 3 YCbCr from RGB,
                         // 4 CMYK (written as Adobe inverted CMYK)
    bool ycck = false;   // with 4 components: stored as YCCK instead of CMYK
    bool plain = false;  // one colour everywhere instead of the pattern (cheap big files)
    // width x height x components samples, row by row, instead of the pattern; empty: none.
    std::vector<uint8_t> pixels;
    bool progressive = false;
    int quality = 85;
    // Sampling factors of the first component (2 x 2 gives 4:2:0, 2 x 1 4:2:2, 1 x 1 4:4:4)
    // and of the two others (Cb and Cr), horizontal first.
    int luma_h_sampling = 2;
    int luma_v_sampling = 2;
    int chroma_sampling[2][2] = {{1, 1}, {1, 1}};
    // false: every component in scans of its own (several sequential scans when not
    // progressive), which also allows more than 10 blocks in a whole MCU.
    bool interleaved = true;
    bool arithmetic = false;                // arithmetic coding instead of Huffman tables
    int restart_interval = 0;               // MCUs between restart markers, 0 for none
    std::vector<std::string> app_segments;  // raw marker payloads as {marker byte, data...}
    // ICC profile written by libjpeg after app_segments, over as many APP2 segments as it
    // needs; empty for none.
    std::string icc_profile;
};

// A options of the given size and component count, the rest as default.
JpegOptions Options(int width, int height, int components = 3);
// The same options, progressive / arithmetic-coded / stored as YCCK / in one plain colour.
JpegOptions Progressive(JpegOptions options);
JpegOptions Arithmetic(JpegOptions options);
JpegOptions Ycck(JpegOptions options);
JpegOptions Plain(JpegOptions options);
JpegOptions Sampling(JpegOptions options, int luma_h, int luma_v);
JpegOptions ChromaSampling(JpegOptions options, int cb_h, int cb_v, int cr_h, int cr_v);
JpegOptions NonInterleaved(JpegOptions options);

// The test pattern pixel (r, g, b) at x, y: smooth ramps that survive compression well.
void PatternPixel(int x, int y, int width, int height, uint8_t rgb[3]);

// Encodes the pattern (or one plain colour) in memory.
std::string MakeJpeg(const JpegOptions& options);

// jpeg with the width and height of its frame header replaced (any start-of-frame kind);
// a test failure when it has none.
std::string WithFrameSize(std::string jpeg, int width, int height);

// An APP1 payload holding a minimal little-endian Exif block with one Orientation tag.
std::string ExifOrientationSegment(int orientation);

// One APP2 segment of an ICC profile, as app_segments takes it: chunk, numbered sequence
// of count segments (any numbers, so that damaged profiles can be made).
std::string IccProfileSegment(int sequence, int count, const std::string& chunk);

// The ICC profile of a JPEG file as libjpeg assembles it (jpeg_read_icc_profile); empty
// when the file has none or a damaged one.
std::string ReadIccProfile(const std::string& jpeg);

// The path of an ICC profile installed by a Debian package (colord-data, libgs-common).
std::string ColordProfile(const std::string& name);
std::string GhostscriptProfile(const std::string& name);

}  // namespace pixmora::test
