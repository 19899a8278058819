// The job's thread: one fetch, then the result handed over through the done flag.
#include "update/version_fetch_job.h"

#include <stdexcept>
#include <utility>

namespace pixmora {

VersionFetchJob::VersionFetchJob(std::string version_file_url, HttpClientSettings settings,
                                 std::function<void()> on_done)
    : client_(std::move(settings)),
      version_file_url_(std::move(version_file_url)),
      on_done_(std::move(on_done)),
      thread_([this] { Run(); }) {}

VersionFetchJob::~VersionFetchJob() {
    Cancel();
    thread_.join();
}

const VersionFetch& VersionFetchJob::Result() const {
    if (!Done()) throw std::logic_error("The version fetch is still under way");
    return result_;
}

void VersionFetchJob::Run() {
    result_ = FetchLatestVersion(client_, version_file_url_);
    done_.store(true, std::memory_order_release);
    if (!on_done_ || client_.Cancelled()) return;
    try {
        on_done_();
    } catch (...) {
        // Nobody on this thread could report it, and it must not end the process.
    }
}

}  // namespace pixmora
