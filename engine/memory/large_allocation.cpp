// Blocks of 2 MiB and more aligned to 2 MiB and advised for transparent huge pages (Linux
// madvise), so that a fresh picture or file costs a fault per 2 MiB, not per 4 KiB;
// small blocks come from malloc as usual.
#include "engine/memory/large_allocation.h"

#include <cstdlib>

#include <sys/mman.h>

namespace pixmora {

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kLargeBlock = size_t{2} << 20;

}  // namespace

void* AllocateLarge(size_t bytes) noexcept {
    if (bytes < kLargeBlock) return std::malloc(bytes == 0 ? 1 : bytes);
    if (bytes > static_cast<size_t>(-1) - kHugePage) return nullptr;
    const size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* block = std::aligned_alloc(kHugePage, rounded);
#ifdef MADV_HUGEPAGE
    if (block) madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return block;
}

void FreeLarge(void* block) noexcept { std::free(block); }

}  // namespace pixmora
