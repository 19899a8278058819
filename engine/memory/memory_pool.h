// One memory budget for a whole run: each file takes its share before it is decoded and
// gives it back when it is done. A file that needs more than is free waits until the files
// holding memory are done, and then runs alone if it must; later files wait behind it, so
// that it is not passed over for good. Only a file needing more than the whole budget fails.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pixmora {

class MemoryPool;

// A share of the pool, given back when destroyed. Move-only.
class MemoryReservation {
public:
    MemoryReservation() = default;
    MemoryReservation(MemoryReservation&& other) noexcept;
    MemoryReservation& operator=(MemoryReservation&& other) noexcept;
    ~MemoryReservation() { Release(); }
    MemoryReservation(const MemoryReservation&) = delete;
    MemoryReservation& operator=(const MemoryReservation&) = delete;

    uint64_t Bytes() const { return bytes_; }
    void Release();
    // Gives back what is over bytes.
    void ShrinkTo(uint64_t bytes);

private:
    friend class MemoryPool;
    MemoryReservation(MemoryPool* pool, uint64_t bytes) : pool_(pool), bytes_(bytes) {}

    MemoryPool* pool_ = nullptr;
    uint64_t bytes_ = 0;
};

class MemoryPool {
public:
    explicit MemoryPool(uint64_t budget) : budget_(budget) {}

    uint64_t Budget() const { return budget_; }
    // Waits until bytes are free, in the order of the calls. Throws EMemoryBudgetExceeded
    // when bytes is over the whole budget.
    MemoryReservation Reserve(uint64_t bytes);
    // Makes held (of this pool, or empty) cover bytes without waiting: true when it does
    // already, or when the difference is free and no call waits for its turn; otherwise
    // held is left as it is.
    bool TryGrow(MemoryReservation& held, uint64_t bytes);
    // Whether a call waits for memory.
    bool Waiting();
    // The bytes held by reservations now.
    uint64_t InUse();

private:
    friend class MemoryReservation;
    void GiveBack(uint64_t bytes);

    const uint64_t budget_;
    std::mutex mutex_;
    std::condition_variable freed_;
    uint64_t in_use_ = 0;
    uint64_t next_ticket_ = 0;  // the turn the next caller takes
    uint64_t serving_ = 0;      // the turn that may take memory now
};

}  // namespace pixmora
