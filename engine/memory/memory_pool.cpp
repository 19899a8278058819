// Shares of the run's memory budget, handed out in turn.
#include "engine/memory/memory_pool.h"

#include <utility>

#include "engine/codec/jpeg_errors.h"

namespace pixmora {

MemoryReservation::MemoryReservation(MemoryReservation&& other) noexcept {
    *this = std::move(other);
}

MemoryReservation& MemoryReservation::operator=(MemoryReservation&& other) noexcept {
    if (this != &other) {
        Release();
        pool_ = std::exchange(other.pool_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void MemoryReservation::Release() {
    if (pool_) pool_->GiveBack(bytes_);
    pool_ = nullptr;
    bytes_ = 0;
}

void MemoryReservation::ShrinkTo(uint64_t bytes) {
    if (!pool_ || bytes >= bytes_) return;
    pool_->GiveBack(bytes_ - bytes);
    bytes_ = bytes;
}

MemoryReservation MemoryPool::Reserve(uint64_t bytes) {
    if (bytes > budget_) throw EMemoryBudgetExceeded(bytes, budget_);
    std::unique_lock<std::mutex> lock(mutex_);
    const uint64_t ticket = next_ticket_++;
    freed_.wait(lock, [&] { return serving_ == ticket && budget_ - in_use_ >= bytes; });
    in_use_ += bytes;
    ++serving_;
    lock.unlock();
    // The next turn may fit beside this one.
    freed_.notify_all();
    return MemoryReservation(this, bytes);
}

bool MemoryPool::TryGrow(MemoryReservation& held, uint64_t bytes) {
    if (held.bytes_ >= bytes) return true;
    if (held.pool_ != nullptr && held.pool_ != this) return false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const uint64_t more = bytes - held.bytes_;
        if (serving_ != next_ticket_ || budget_ - in_use_ < more) return false;
        in_use_ += more;
    }
    held.pool_ = this;
    held.bytes_ = bytes;
    return true;
}

uint64_t MemoryPool::InUse() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return in_use_;
}

bool MemoryPool::Waiting() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return serving_ != next_ticket_;
}

void MemoryPool::GiveBack(uint64_t bytes) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        in_use_ -= bytes;
    }
    freed_.notify_all();
}

}  // namespace pixmora
