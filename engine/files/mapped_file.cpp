// Unmapping (POSIX munmap).
#include "engine/files/mapped_file.h"

#include <utility>

#include <sys/mman.h>

namespace pixmora {

TMappedFile::~TMappedFile() { Unmap(); }

TMappedFile::TMappedFile(TMappedFile&& other) noexcept
    : address_(std::exchange(other.address_, nullptr)), size_(std::exchange(other.size_, 0)) {}

TMappedFile& TMappedFile::operator=(TMappedFile&& other) noexcept {
    if (this != &other) {
        Unmap();
        address_ = std::exchange(other.address_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void TMappedFile::Unmap() noexcept {
    if (address_) munmap(address_, size_);
    address_ = nullptr;
    size_ = 0;
}

}  // namespace pixmora
