// The preview made on a thread of its own, so that the window keeps answering while a large
// photo is decoded. At most one request waits, the newest: a new one replaces it, and a
// preview under way for an older one is given up at its next step. Every request has a
// generation number; only results still the newest when done are handed over, and the
// window checks the number again when one reaches it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/run/preview.h"

namespace pixmora {

class PreviewWorker {
public:
    // Makes the preview of a request; `superseded` says when it is no longer wanted.
    using Compute = std::function<PreviewResult(const PreviewRequest& request,
                                                const std::function<bool()>& superseded)>;
    // Takes a finished preview, ON THE WORKER'S THREAD: keep it short (post it to the
    // window's thread) and let it not throw.
    using Deliver = std::function<void(uint64_t generation, PreviewResult result)>;

    // Starts the thread. Throws std::system_error when the system gives no thread.
    PreviewWorker(Compute compute, Deliver deliver);
    // Makes compute and deliver from MakePreview over bitmaps, which must outlive the worker.
    PreviewWorker(const BitmapLoader& bitmaps, Deliver deliver);
    // Stops the thread and waits for it: a preview under way is told it is superseded and
    // ends at its next step; nothing is delivered from then on.
    ~PreviewWorker();
    PreviewWorker(const PreviewWorker&) = delete;
    PreviewWorker& operator=(const PreviewWorker&) = delete;

    // Makes request the newest, replacing one still waiting; returns its generation.
    uint64_t Request(PreviewRequest request);
    // Drops the waiting request and makes every earlier one stale; returns the generation
    // that no request has.
    uint64_t Cancel();

private:
    void Run();
    bool Superseded(uint64_t generation) const;

    const Compute compute_;
    const Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<PreviewRequest> waiting_;  // guarded by mutex_
    uint64_t waiting_generation_ = 0;        // guarded by mutex_
    std::atomic<uint64_t> newest_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;  // last, so it starts once everything it uses exists
};

}  // namespace pixmora
