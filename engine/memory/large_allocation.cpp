// Blocks of 2 MiB and more are mappings of their own, aligned to 2 MiB and advised for
// transparent huge pages (Linux madvise), so that a fresh picture or file costs a fault per
// 2 MiB, not per 4 KiB. They are not taken from malloc: once a large block has been freed,
// glibc serves the next ones from its heaps, whose pages earlier blocks left mapped 4 KiB
// at a time, so that huge pages could no longer be had there. Smaller blocks come from
// malloc. Under the address checker every block comes from malloc, which it watches.
#include "engine/memory/large_allocation.h"

#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

namespace pixmora {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargeBlock = size_t{256} << 10;
constexpr size_t kSystemPage = 4096;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

// Just before every block: where its memory starts and, for a mapping, how long it is.
struct BlockHeader {
    void* base;
    size_t mapped_length;  // 0: from malloc
};
constexpr size_t kHeaderRoom = 16;
static_assert(sizeof(BlockHeader) <= kHeaderRoom, "the header fits before the block");

BlockHeader* HeaderOf(void* block) {
    return reinterpret_cast<BlockHeader*>(static_cast<unsigned char*>(block) - kHeaderRoom);
}

void* FromMalloc(size_t bytes) {
    if (bytes > SIZE_MAX - kHeaderRoom) return nullptr;
    void* base = std::malloc(bytes + kHeaderRoom);
    if (!base) return nullptr;
    void* block = static_cast<unsigned char*>(base) + kHeaderRoom;
    *HeaderOf(block) = BlockHeader{base, 0};
    return block;
}

void* Mapped(size_t bytes) {
    if (bytes > SIZE_MAX - 2 * kHugePage) return nullptr;
    const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    // Room for the alignment and for the header's page before the block.
    const size_t length = rounded + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    const uintptr_t start = reinterpret_cast<uintptr_t>(base) + kSystemPage;
    void* block = reinterpret_cast<void*>((start + kHugePage - 1) & ~uintptr_t{kHugePage - 1});
    *HeaderOf(block) = BlockHeader{base, length};
#ifdef MADV_HUGEPAGE
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return block;
}

}  // namespace

void* AllocateLarge(size_t bytes) noexcept {
    if (!kMapLargeBlocks || bytes < kLargeBlock) return FromMalloc(bytes == 0 ? 1 : bytes);
    return Mapped(bytes);
}

void FreeLarge(void* block) noexcept {
    if (!block) return;
    const BlockHeader header = *HeaderOf(block);
    if (header.mapped_length == 0) {
        std::free(header.base);
    } else {
        munmap(header.base, header.mapped_length);
    }
}

}  // namespace pixmora
