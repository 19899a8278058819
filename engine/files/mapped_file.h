// A file's bytes mapped read-only into memory, unmapped when the owner goes: the bytes cost
// the page cache, never the heap.
#pragma once

#include <cstddef>

#include "engine/files/byte_view.h"

namespace pixmora {

class TMappedFile {
public:
    TMappedFile() = default;
    // Takes over a mapping of size bytes at address (from mmap).
    TMappedFile(void* address, size_t size) : address_(address), size_(size) {}
    ~TMappedFile();
    TMappedFile(TMappedFile&& other) noexcept;
    TMappedFile& operator=(TMappedFile&& other) noexcept;
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    bool Mapped() const { return address_ != nullptr; }
    TByteView View() const { return TByteView(static_cast<const uint8_t*>(address_), size_); }

private:
    void Unmap() noexcept;

    void* address_ = nullptr;
    size_t size_ = 0;
};

}  // namespace pixmora
