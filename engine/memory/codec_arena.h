// The large memory of one worker's decodings and encodings, kept from one file to the next.
//
// A multi-scan file makes libjpeg ask for its whole-image coefficients (tens of megabytes)
// and give them back at the end of the file. Served by malloc, such blocks are fresh
// mappings every time: each file pays again for the page faults and for the kernel zeroing
// the pages; a multi-scan output does the same with its own coefficients. The arena keeps
// one block and lends it out again, piece by piece, to each decoding and encoding; libjpeg
// clears what it needs cleared itself.
//
// Used by one thread at a time: the worker that owns it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pixmora {

class TCodecArena {
public:
    TCodecArena() = default;
    ~TCodecArena() { Release(); }
    TCodecArena(const TCodecArena&) = delete;
    TCodecArena& operator=(const TCodecArena&) = delete;

    // Makes the block ready for decodings (and encodings) that take up to bytes of large
    // memory: the kept block stays when it holds them, otherwise it is replaced by one of
    // bytes (whoever keeps the arena decides when a block is too large to keep, and
    // releases it). Nothing may be lent out. When memory is refused the arena stays empty
    // and every piece is asked of the system as before.
    void Prepare(uint64_t bytes) noexcept;
    // Gives the block back to the system.
    void Release() noexcept;

    // A piece of bytes from the block, nullptr when it does not fit in what is left.
    void* Take(size_t bytes) noexcept;
    // Whether piece lies in the block.
    bool Owns(const void* piece) const noexcept;

    // A decoding or encoding starts or ends drawing on the arena; when the last one ends, the whole
    // block is free again.
    void BeginUse() noexcept { ++users_; }
    void EndUse() noexcept;

    uint64_t Capacity() const { return capacity_; }
    // How many blocks were asked of the system so far, how many pieces were lent out and
    // how many could not be served from the block.
    uint64_t BlocksAllocated() const { return blocks_allocated_; }
    uint64_t PiecesLent() const { return pieces_lent_; }
    uint64_t PiecesOutside() const { return pieces_outside_; }
    void NotePieceOutside() noexcept { ++pieces_outside_; }

private:
    unsigned char* block_ = nullptr;
    uint64_t capacity_ = 0;
    uint64_t used_ = 0;
    int users_ = 0;
    uint64_t blocks_allocated_ = 0;
    uint64_t pieces_lent_ = 0;
    uint64_t pieces_outside_ = 0;
};

}  // namespace pixmora
