// Where a worker leaves its newest result for the owner's thread to take: a later result
// replaces one not yet taken. The hand-over goes through this lock, whatever the owner's
// event loop does to tell it that something came.
#pragma once

#include <mutex>
#include <optional>
#include <utility>

namespace pixmora {

template <typename T>
class LatestMailbox {
public:
    void Put(T value) {
        const std::lock_guard<std::mutex> lock(mutex_);
        value_ = std::move(value);
    }
    std::optional<T> Take() {
        const std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(value_, std::nullopt);
    }

private:
    std::mutex mutex_;
    std::optional<T> value_;
};

}  // namespace pixmora
