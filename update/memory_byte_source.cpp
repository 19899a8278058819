// In-memory byte source.
#include "update/memory_byte_source.h"

#include <algorithm>
#include <cstring>

namespace pixmora {

MemoryByteSource::MemoryByteSource(std::string_view bytes, std::size_t piece)
    : bytes_(bytes), piece_(std::max<std::size_t>(piece, 1)) {}

std::size_t MemoryByteSource::Receive(char* buffer, std::size_t capacity) {
    const std::size_t count = std::min({capacity, piece_, Remaining()});
    std::memcpy(buffer, bytes_.data() + position_, count);
    position_ += count;
    return count;
}

}  // namespace pixmora
