// Allocation rules of the 24-bit picture: sizes checked before any memory is taken.
#include "engine/resample/pixel_buffer.h"

#include <cstring>

#include "engine/codec/jpeg_errors.h"
#include "engine/memory/large_allocation.h"
#include "engine/memory/physical_memory.h"

namespace pixmora {

namespace {

uint64_t RowBytes(int32_t width) {
    return (static_cast<uint64_t>(width) * TPixelBuffer::kBytesPerPixel + 3) & ~uint64_t{3};
}

}  // namespace

uint64_t TPixelBuffer::ByteCount(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    uint64_t total = 0;
    if (__builtin_mul_overflow(RowBytes(width), static_cast<uint64_t>(height), &total)) return 0;
    return total;
}

uint64_t TPixelBuffer::CheckedByteCount(int32_t width, int32_t height) {
    const uint64_t bytes = ByteCount(width, height);
    if (bytes == 0 || bytes > PhysicalMemoryBytes() || bytes > SIZE_MAX) throw EOutOfMemory();
    return bytes;
}

void TPixelBuffer::SetSize(int32_t width, int32_t height) {
    const uint64_t bytes = CheckedByteCount(width, height);
    if (!storage_ || storage_.use_count() > 1 || storage_->capacity < bytes) {
        auto fresh = std::make_shared<Storage>();
        // Drop the old pixels first so that two large pictures are never held at once.
        storage_.reset();
        fresh->data.reset(static_cast<uint8_t*>(AllocateLarge(bytes)));
        if (!fresh->data) {
            width_ = height_ = 0;
            stride_ = 0;
            throw EOutOfMemory();
        }
        fresh->capacity = bytes;
        storage_ = std::move(fresh);
    }
    width_ = width;
    height_ = height;
    stride_ = RowBytes(width);
}

void TPixelBuffer::FreeBlock::operator()(uint8_t* block) const { FreeLarge(block); }

void TPixelBuffer::Clear() {
    storage_.reset();
    width_ = height_ = 0;
    stride_ = 0;
}

uint8_t* TPixelBuffer::Row(int32_t y) {
    Detach();
    return storage_->data.get() + stride_ * y;
}

void TPixelBuffer::Detach() {
    if (storage_.use_count() <= 1) return;
    const size_t bytes = stride_ * static_cast<size_t>(height_);
    auto own = std::make_shared<Storage>();
    own->data.reset(static_cast<uint8_t*>(AllocateLarge(bytes)));
    if (!own->data) throw EOutOfMemory();
    own->capacity = bytes;
    std::memcpy(own->data.get(), storage_->data.get(), bytes);
    storage_ = std::move(own);
}

}  // namespace pixmora
