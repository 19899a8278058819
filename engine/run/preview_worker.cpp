// The preview's thread: take the newest request, make it, hand it over while still wanted.
#include "engine/run/preview_worker.h"

#include <utility>

namespace pixmora {

PreviewWorker::PreviewWorker(Compute compute, Deliver deliver)
    : compute_(std::move(compute)), deliver_(std::move(deliver)), thread_([this] { Run(); }) {}

PreviewWorker::PreviewWorker(const BitmapLoader& bitmaps, Deliver deliver)
    : PreviewWorker(
          [&bitmaps](const PreviewRequest& request, const std::function<bool()>& superseded) {
              return MakePreview(request, bitmaps, superseded);
          },
          std::move(deliver)) {}

PreviewWorker::~PreviewWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
    }
    wake_.notify_one();
    thread_.join();
}

uint64_t PreviewWorker::Request(PreviewRequest request) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_generation_ = newest_.fetch_add(1) + 1;
    waiting_ = std::move(request);
    wake_.notify_one();
    return waiting_generation_;
}

uint64_t PreviewWorker::Cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.reset();
    return newest_.fetch_add(1) + 1;
}

bool PreviewWorker::Superseded(uint64_t generation) const {
    return stopping_.load() || newest_.load() != generation;
}

void PreviewWorker::Run() {
    for (;;) {
        PreviewRequest request;
        uint64_t generation = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_.load() || waiting_.has_value(); });
            if (stopping_.load()) return;
            request = std::move(*waiting_);
            waiting_.reset();
            generation = waiting_generation_;
        }
        const std::function<bool()> superseded = [this, generation] {
            return Superseded(generation);
        };
        PreviewResult result;
        try {
            result = compute_(request, superseded);
        } catch (...) {
            // The preview reports its failures in its result; anything else has nobody to
            // go to on this thread, and must not end the process.
            continue;
        }
        if (result.abandoned || Superseded(generation)) continue;
        try {
            deliver_(generation, std::move(result));
        } catch (...) {
            // As above.
        }
    }
}

}  // namespace pixmora
