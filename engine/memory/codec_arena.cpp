// Bump allocation over one kept block.
#include "engine/memory/codec_arena.h"

#include "engine/memory/large_allocation.h"

namespace pixmora {

namespace {

// libjpeg aligns its objects itself; a cache line keeps pieces from sharing one.
constexpr uint64_t kPieceAlignment = 64;

}  // namespace

void TCodecArena::Prepare(uint64_t bytes) noexcept {
    if (users_ > 0) return;
    used_ = 0;
    if (block_ && capacity_ >= bytes) return;
    Release();
    if (bytes == 0 || bytes > SIZE_MAX) return;
    block_ = static_cast<unsigned char*>(AllocateLarge(static_cast<size_t>(bytes)));
    if (!block_) return;
    capacity_ = bytes;
    ++blocks_allocated_;
}

void TCodecArena::Release() noexcept {
    if (users_ > 0) return;
    FreeLarge(block_);
    block_ = nullptr;
    capacity_ = 0;
    used_ = 0;
}

void* TCodecArena::Take(size_t bytes) noexcept {
    if (!block_) return nullptr;
    const uint64_t start = (used_ + kPieceAlignment - 1) & ~(kPieceAlignment - 1);
    if (start > capacity_ || capacity_ - start < bytes) return nullptr;
    used_ = start + bytes;
    ++pieces_lent_;
    return block_ + start;
}

bool TCodecArena::Owns(const void* piece) const noexcept {
    const auto* at = static_cast<const unsigned char*>(piece);
    return block_ != nullptr && at >= block_ && at < block_ + capacity_;
}

void TCodecArena::EndUse() noexcept {
    if (users_ > 0 && --users_ == 0) used_ = 0;
}

}  // namespace pixmora
