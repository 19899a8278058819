// Assembly of the profile's segments by libjpeg, and the colour space test of its header.
#include "engine/codec/icc_profile.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/codec/jpeg_decompress_object.h"
#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

constexpr size_t kProfileHeaderSize = 128;
constexpr size_t kColourSpaceOffset = 16;

// Owner of the buffer jpeg_read_icc_profile allocates with malloc.
class TMallocedBytes {
public:
    TMallocedBytes() = default;
    ~TMallocedBytes() { std::free(data_); }
    TMallocedBytes(const TMallocedBytes&) = delete;
    TMallocedBytes& operator=(const TMallocedBytes&) = delete;

    JOCTET** Slot() { return &data_; }
    const JOCTET* Data() const { return data_; }

private:
    JOCTET* data_ = nullptr;
};

bool IsRGBProfile(const uint8_t* profile, size_t size) {
    return profile && size >= kProfileHeaderSize &&
           std::memcmp(profile + kColourSpaceOffset, "RGB ", 4) == 0;
}

}  // namespace

std::vector<uint8_t> ReadRGBProfile(TDecompressObject& object) {
    jpeg_decompress_struct& info = object.Info();
    TMallocedBytes bytes;
    unsigned int size = 0;
    boolean found = FALSE;
    // A damaged profile only makes libjpeg warn (warnings are dropped) and return FALSE;
    // the load goes on without it.
    object.Run([&] { found = jpeg_read_icc_profile(&info, bytes.Slot(), &size); });
    if (!found || !IsRGBProfile(bytes.Data(), size)) return {};
    try {
        return std::vector<uint8_t>(bytes.Data(), bytes.Data() + size);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
}

}  // namespace pixmora
