// The version file fetched on a thread of its own, so that a window keeps painting and
// taking input while the request is under way, and can give up on it at any time.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "update/http_client.h"
#include "update/version_check.h"

namespace pixmora {

class VersionFetchJob {
public:
    // Starts the request at once, with copies of the address and the settings (tests
    // shorten the time limits and put in a lookup of their own). `on_done`, when given, is
    // called once, ON THE JOB'S OWN THREAD, right after the result is ready, unless Cancel()
    // came first: keep it short (post an event to the window's thread), let it not throw,
    // and never destroy the job from it. Throws SocketError or std::system_error when the
    // system cannot give the job its descriptors or its thread.
    explicit VersionFetchJob(std::string version_file_url, HttpClientSettings settings = {},
                             std::function<void()> on_done = {});
    // Cancels and waits for the job's thread, which ends within milliseconds: a name lookup
    // still under way is left behind to finish on its own. An `on_done` already running is
    // waited for.
    ~VersionFetchJob();
    VersionFetchJob(const VersionFetchJob&) = delete;
    VersionFetchJob& operator=(const VersionFetchJob&) = delete;

    // True once the result is ready; never blocks.
    bool Done() const { return done_.load(std::memory_order_acquire); }
    // The fetch's outcome; throws std::logic_error before Done().
    const VersionFetch& Result() const;
    // Ends the request at once, from any thread; Done() follows within milliseconds, with a
    // RequestCancelled failure unless the result was complete already.
    void Cancel() { client_.Cancel(); }

private:
    void Run();

    HttpClient client_;
    const std::string version_file_url_;
    const std::function<void()> on_done_;
    VersionFetch result_;  // written by the job's thread before done_, read after it
    std::atomic<bool> done_{false};
    std::thread thread_;  // last, so it starts once everything it uses exists
};

}  // namespace pixmora
