// A 24-bit picture in memory: rows top-down, each pixel red, green, blue (one byte each),
// rows padded to a multiple of 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace pixmora {

class TPixelBuffer {
public:
    static constexpr int kBytesPerPixel = 3;

    // An empty picture, 0 x 0, holding no pixels.
    TPixelBuffer() = default;

    // Copies share the pixels (as the picture control's copy does); writing through
    // Row() gives the writer pixels of its own first.
    TPixelBuffer(const TPixelBuffer&) = default;
    TPixelBuffer& operator=(const TPixelBuffer&) = default;
    TPixelBuffer(TPixelBuffer&&) noexcept = default;
    TPixelBuffer& operator=(TPixelBuffer&&) noexcept = default;

    // Makes the picture width x height with undefined pixels, reusing the memory it owns
    // when large enough. Throws EOutOfMemory, before allocating anything, when a dimension
    // is zero or negative or when the pixels would not fit in physical memory; also when
    // the allocation itself is refused: the size is unchanged after a refused size, the
    // picture is empty after a refused allocation.
    void SetSize(int32_t width, int32_t height);

    // Drops the pixels: 0 x 0.
    void Clear();

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Bytes from one row to the next.
    size_t Stride() const { return stride_; }
    // Bytes of the memory held, which a later SetSize may reuse.
    size_t Capacity() const { return storage_ ? storage_->capacity : 0; }

    const uint8_t* Row(int32_t y) const { return storage_->data.get() + stride_ * y; }
    uint8_t* Row(int32_t y);

    // Whether both share the same pixels.
    bool SharesPixelsWith(const TPixelBuffer& other) const {
        return storage_ != nullptr && storage_ == other.storage_;
    }

    // Bytes a width x height picture needs (rows padded), 0 when the size cannot be held.
    static uint64_t ByteCount(int32_t width, int32_t height);
    // Throws EOutOfMemory when a width x height picture cannot be allocated (see SetSize).
    static uint64_t CheckedByteCount(int32_t width, int32_t height);

private:
    struct FreeBlock {
        void operator()(uint8_t* block) const;
    };
    struct Storage {
        std::unique_ptr<uint8_t[], FreeBlock> data;
        size_t capacity = 0;
    };

    void Detach();

    std::shared_ptr<Storage> storage_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    size_t stride_ = 0;
};

}  // namespace pixmora
