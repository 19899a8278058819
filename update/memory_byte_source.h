// A byte source over a block of memory, handing it out in pieces of a chosen size, so the
// response reader can be driven without a connection.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "update/byte_source.h"

namespace pixmora {

class MemoryByteSource : public ByteSource {
public:
    // `piece` bounds every Receive, to imitate data arriving in parts (0 counts as 1).
    explicit MemoryByteSource(std::string_view bytes, std::size_t piece = 32768);
    std::size_t Receive(char* buffer, std::size_t capacity) override;
    std::size_t Remaining() const { return bytes_.size() - position_; }

private:
    std::string bytes_;
    std::size_t piece_;
    std::size_t position_ = 0;
};

}  // namespace pixmora
