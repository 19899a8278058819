// A read-only view of bytes held elsewhere: a file's mapping or a buffer. It owns nothing,
// so it is valid only as long as what it shows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixmora {

class TByteView {
public:
    TByteView() = default;
    TByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    template <class Buffer>
    explicit TByteView(const Buffer& buffer) : data_(buffer.data()), size_(buffer.size()) {}

    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const uint8_t* begin() const { return data_; }
    const uint8_t* end() const { return data_ + size_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

}  // namespace pixmora
