// Memory for pictures and file bytes: left uninitialised (every byte is written before it
// is read) and, for large blocks, backed by huge pages where the system offers them, so
// that filling a picture costs few page faults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace pixmora {

// A block of at least bytes, nullptr when refused. Release with FreeLarge.
void* AllocateLarge(size_t bytes) noexcept;
void FreeLarge(void* block) noexcept;

// Allocator for byte vectors that grow without zero-filling and use AllocateLarge.
template <class T>
struct TLargeAllocator {
    using value_type = T;

    TLargeAllocator() = default;
    template <class U>
    TLargeAllocator(const TLargeAllocator<U>&) noexcept {}

    T* allocate(size_t count) {
        if (count > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* block = AllocateLarge(count * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) noexcept { FreeLarge(block); }

    // Growing leaves new elements uninitialised.
    template <class U>
    void construct(U* place) noexcept {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Args>
    void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(static_cast<Args&&>(args)...);
    }

    template <class U>
    bool operator==(const TLargeAllocator<U>&) const noexcept {
        return true;
    }
    template <class U>
    bool operator!=(const TLargeAllocator<U>&) const noexcept {
        return false;
    }
};

// Bytes of a file or an encoding.
using TByteBuffer = std::vector<uint8_t, TLargeAllocator<uint8_t>>;

}  // namespace pixmora
