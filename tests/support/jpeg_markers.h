// A JPEG file's segments as its bytes hold them, read without libjpeg, so that tests can
// check what an encoder wrote: which markers, in which order, with which data.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace pixmora::test {

struct JpegSegment {
    int marker = 0;    // the byte after 0xFF: 0xE1 for APP1, 0xFE for a comment...
    std::string data;  // the bytes after the length field
};

// The segments from the start of image up to the first start of scan (included); a test
// failure when the bytes are not laid out as segments.
std::vector<JpegSegment> ReadJpegSegments(const std::string& jpeg);

// The quantization tables of the DQT segments by table number, in natural (row by row)
// order.
std::map<int, std::array<int, 64>> ReadQuantTables(const std::vector<JpegSegment>& segments);

}  // namespace pixmora::test
