// The preview's thread: the newest request wins, results of older ones never come, and
// stopping waits for a preview under way to give up.
#include "engine/run/preview_worker.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

using namespace std::chrono_literals;

PreviewRequest RequestOf(const std::string& name) {
    PreviewRequest request;
    request.full_name = name;
    return request;
}

// A preview whose first request waits until the test lets it go; it notes every request
// it makes and every result delivered, and what `superseded` said once it was let go.
class GatedPreviews {
public:
    PreviewResult Make(const PreviewRequest& request, const std::function<bool()>& superseded) {
        std::unique_lock<std::mutex> lock(mutex_);
        made_.push_back(request.full_name);
        changed_.notify_all();
        if (made_.size() == 1) {
            changed_.wait(lock, [this] { return open_; });
            first_superseded_ = superseded();
        }
        PreviewResult result;
        result.measures[0] = request.full_name;
        return result;
    }
    void Deliver(uint64_t generation, PreviewResult result) {
        std::lock_guard<std::mutex> lock(mutex_);
        delivered_.push_back(result.measures[0] + " #" + std::to_string(generation));
        changed_.notify_all();
    }

    void WaitUntilMade(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, 10s, [&] { return made_.size() >= count; }));
    }
    void WaitUntilDelivered(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, 10s, [&] { return delivered_.size() >= count; }));
    }
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    std::vector<std::string> Made() {
        std::lock_guard<std::mutex> lock(mutex_);
        return made_;
    }
    std::vector<std::string> Delivered() {
        std::lock_guard<std::mutex> lock(mutex_);
        return delivered_;
    }
    bool FirstSuperseded() {
        std::lock_guard<std::mutex> lock(mutex_);
        return first_superseded_;
    }

    PreviewWorker::Compute Compute() {
        return
            [this](const PreviewRequest& r, const std::function<bool()>& s) { return Make(r, s); };
    }
    PreviewWorker::Deliver Delivery() {
        return [this](uint64_t g, PreviewResult r) { Deliver(g, std::move(r)); };
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool first_superseded_ = false;
    std::vector<std::string> made_;
    std::vector<std::string> delivered_;
};

TEST(PreviewWorker, TheNewestRequestWinsOverOnesStillWaitingAndOneUnderWay) {
    GatedPreviews previews;
    PreviewWorker worker(previews.Compute(), previews.Delivery());
    const uint64_t first = worker.Request(RequestOf("a"));
    previews.WaitUntilMade(1);
    uint64_t last = 0;
    for (const char* name : {"b", "c", "d"}) last = worker.Request(RequestOf(name));
    EXPECT_GT(last, first);
    previews.Open();
    previews.WaitUntilDelivered(1);
    // b and c were replaced while they waited; a, made meanwhile, is not handed over.
    EXPECT_EQ(previews.Made(), (std::vector<std::string>{"a", "d"}));
    EXPECT_EQ(previews.Delivered(), (std::vector<std::string>{"d #" + std::to_string(last)}));
    EXPECT_TRUE(previews.FirstSuperseded());
}

TEST(PreviewWorker, CancelDropsTheWaitingRequestAndTheOneUnderWay) {
    GatedPreviews previews;
    PreviewWorker worker(previews.Compute(), previews.Delivery());
    worker.Request(RequestOf("a"));
    previews.WaitUntilMade(1);
    worker.Request(RequestOf("b"));
    worker.Cancel();
    previews.Open();
    // Whatever comes next is made and handed over: nothing from before the cancel is.
    const uint64_t next = worker.Request(RequestOf("c"));
    previews.WaitUntilDelivered(1);
    EXPECT_EQ(previews.Made(), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(previews.Delivered(), (std::vector<std::string>{"c #" + std::to_string(next)}));
}

TEST(PreviewWorker, StoppingLetsAPreviewUnderWayGiveUpAndDeliversNothing) {
    std::mutex mutex;
    std::condition_variable started;
    bool under_way = false;
    bool gave_up = false;
    int delivered = 0;
    {
        PreviewWorker worker(
            [&](const PreviewRequest&, const std::function<bool()>& superseded) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    under_way = true;
                }
                started.notify_all();
                // A long decode that asks between its steps.
                while (!superseded()) std::this_thread::sleep_for(1ms);
                gave_up = true;
                return PreviewResult();
            },
            [&](uint64_t, PreviewResult) { ++delivered; });
        worker.Request(RequestOf("a"));
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(started.wait_for(lock, 10s, [&] { return under_way; }));
    }
    EXPECT_TRUE(gave_up);
    EXPECT_EQ(delivered, 0);
}

}  // namespace
}  // namespace pixmora
