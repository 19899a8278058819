// Bounds-checked reading of the first image directory of an Exif block, either byte order.
#include "engine/codec/exif_orientation.h"

#include <cstring>

namespace pixmora {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;
constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

class TiffReader {
public:
    TiffReader(const uint8_t* data, size_t size, bool big_endian)
        : data_(data), size_(size), big_endian_(big_endian) {}

    bool Fits(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    uint16_t U16(size_t offset) const {
        return big_endian_ ? static_cast<uint16_t>(data_[offset] << 8 | data_[offset + 1])
                           : static_cast<uint16_t>(data_[offset + 1] << 8 | data_[offset]);
    }
    uint32_t U32(size_t offset) const {
        const uint32_t high = U16(offset + (big_endian_ ? 0 : 2));
        const uint32_t low = U16(offset + (big_endian_ ? 2 : 0));
        return high << 16 | low;
    }

private:
    const uint8_t* data_;
    size_t size_;
    bool big_endian_;
};

}  // namespace

int ReadExifOrientation(const uint8_t* payload, size_t size) {
    if (size < sizeof kExifHeader + 8 || std::memcmp(payload, kExifHeader, sizeof kExifHeader))
        return 0;
    const uint8_t* tiff = payload + sizeof kExifHeader;
    const size_t tiff_size = size - sizeof kExifHeader;
    bool big_endian;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        big_endian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        big_endian = false;
    else
        return 0;
    const TiffReader reader(tiff, tiff_size, big_endian);
    if (reader.U16(2) != 42) return 0;
    const uint32_t directory = reader.U32(4);
    if (!reader.Fits(directory, 2)) return 0;
    const uint16_t count = reader.U16(directory);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t entry = directory + 2 + uint64_t{12} * i;
        if (!reader.Fits(entry, 12)) return 0;
        if (reader.U16(entry) != kOrientationTag) continue;
        if (reader.U16(entry + 2) != kShortType || reader.U32(entry + 4) != 1) return 0;
        const int orientation = reader.U16(entry + 8);
        return orientation >= 1 && orientation <= 8 ? orientation : 0;
    }
    return 0;
}

std::string MakeExifOrientationPayload(int orientation) {
    std::string payload(kExifHeader, sizeof kExifHeader);
    // Big-endian TIFF header, first directory right after it.
    payload += std::string("MM\0\x2a\0\0\0\x08", 8);
    // One entry: orientation, SHORT, count 1, value in the first two bytes of the field.
    payload += std::string("\0\x01", 2);
    payload += std::string("\x01\x12\0\x03\0\0\0\x01", 8);
    payload += static_cast<char>(orientation >> 8);
    payload += static_cast<char>(orientation & 0xff);
    payload += std::string("\0\0", 2);
    // No next directory.
    payload += std::string("\0\0\0\0", 4);
    return payload;
}

}  // namespace pixmora
