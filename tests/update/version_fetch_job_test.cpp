// The version fetch on a thread of its own: its result and the check finished from it, a
// caller that is never held up, and a cancel or a destruction that ends the request at
// once whatever stage it is in.
#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/hanging_lookup.h"
#include "support/scripted_server.h"
#include "update/http_errors.h"
#include "update/update_texts.h"
#include "update/version_check.h"
#include "update/version_fetch_job.h"

namespace pixmora {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::ScriptedServer;
using test::ServerScript;

// How soon, in milliseconds, a cancelled or destroyed job must let its caller go.
constexpr long long kPromptly = 100;

long long MillisecondsSince(steady_clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

// Polls Done() every 10 ms as a window's timer would and returns how long it took, in
// milliseconds; also the longest the caller went between two polls.
long long PollUntilDone(const VersionFetchJob& job, long long* longest_gap = nullptr) {
    const auto start = steady_clock::now();
    auto last = start;
    long long gap = 0;
    while (!job.Done() && MillisecondsSince(start) < 20000) {
        std::this_thread::sleep_for(milliseconds(10));
        gap = std::max(gap, MillisecondsSince(last));
        last = steady_clock::now();
    }
    if (longest_gap) *longest_gap = gap;
    return MillisecondsSince(start);
}

std::string FailureMessage(const VersionFetch& fetch) {
    if (!fetch.failure) return "";
    try {
        std::rethrow_exception(fetch.failure);
    } catch (const std::exception& e) {
        return e.what();
    }
}

ServerScript Trickle() {
    ServerScript script;  // a body byte every 100 ms, for ever
    script.replies = {"HTTP/1.1 200 OK\r\n\r\n"};
    script.repeat = "v";
    script.piece_pause = milliseconds(100);
    return script;
}

TEST(VersionFetchJobTest, FetchesOnItsOwnThreadAndTheCheckFinishesFromItsResult) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.1"}});
    UpdateCheckInputs inputs = RunningProgramUpdateCheckInputs();  // a fresh program file
    inputs.version_file_url = server.Url();
    std::atomic<int> calls{0};
    std::thread::id called_on;
    auto job =
        std::make_unique<VersionFetchJob>(inputs.version_file_url, HttpClientSettings{}, [&] {
            called_on = std::this_thread::get_id();
            ++calls;
        });
    PollUntilDone(*job);
    ASSERT_TRUE(job->Done());
    EXPECT_TRUE(job->Result().fetched);
    EXPECT_EQ(job->Result().latest_version, "V2.1");
    EXPECT_EQ(FailureMessage(job->Result()), "");

    const UpdateCheckResult result = FinishUpdateCheck(inputs, job->Result());
    EXPECT_TRUE(result.differs);
    EXPECT_FALSE(result.stale);
    EXPECT_TRUE(result.show_dialog);
    EXPECT_EQ(result.message, NewVersionText("Pixmora", "V2.0", "V2.1"));

    job.reset();  // joins, so the callback's writes are visible
    EXPECT_EQ(calls, 1);
    EXPECT_NE(called_on, std::this_thread::get_id());
}

TEST(VersionFetchJobTest, ServerThatNeverAnswersLeavesTheCallerFreeUntilTheWaitLimit) {
    ScriptedServer server({{}, 0, milliseconds(0), false});
    HttpClientSettings settings;
    settings.limits = {milliseconds(500), milliseconds(1000), milliseconds(1500)};
    const auto start = steady_clock::now();
    const VersionFetchJob job(server.Url(), settings);
    EXPECT_THROW(job.Result(), std::logic_error);
    long long longest_gap = 0;
    PollUntilDone(job, &longest_gap);
    const long long took = MillisecondsSince(start);
    EXPECT_GE(took, 1000);
    EXPECT_LT(took, 1500);
    EXPECT_LT(longest_gap, kPromptly);
    EXPECT_FALSE(job.Result().fetched);
    EXPECT_EQ(FailureMessage(job.Result()), "Socket Error # 110\r\nConnection timed out");
}

// Each stage the request can hang in, under the full time limits, so only the cancel (or
// the job's end) can stop it.
struct Stage {
    const char* name;
    std::string url;
    HttpClientSettings settings;
};

class HangingStages {
public:
    HangingStages() { looking_up_.host_lookup = lookup_.Function(); }
    std::vector<Stage> Stages() const {
        return {
            {"name lookup", "http://version.test/v", looking_up_},
            {"connect", "http://127.0.0.1:" + std::to_string(listener_.Port()) + "/v", {}},
            {"wait for the answer", silent_.Url(), {}},
            {"body that never ends", trickle_.Url(), {}},
        };
    }

private:
    test::HangingLookup lookup_;
    HttpClientSettings looking_up_;
    test::UnansweredListener listener_;
    ScriptedServer silent_{{{}, 0, milliseconds(0), false}};
    ScriptedServer trickle_{Trickle()};
};

TEST(VersionFetchJobTest, CancelEndsEveryStageAtOnce) {
    const HangingStages stages;
    for (const Stage& stage : stages.Stages()) {
        SCOPED_TRACE(stage.name);
        std::atomic<bool> called{false};
        auto job =
            std::make_unique<VersionFetchJob>(stage.url, stage.settings, [&] { called = true; });
        std::this_thread::sleep_for(milliseconds(200));  // well into the stage
        EXPECT_FALSE(job->Done());
        job->Cancel();
        EXPECT_LT(PollUntilDone(*job), kPromptly);
        ASSERT_TRUE(job->Done());
        EXPECT_EQ(FailureMessage(job->Result()), "Request cancelled.");
        job.reset();
        EXPECT_FALSE(called);
    }
}

TEST(VersionFetchJobTest, DestructionDuringTheRequestReturnsAtOnce) {
    const HangingStages stages;
    for (const Stage& stage : stages.Stages()) {
        SCOPED_TRACE(stage.name);
        auto job = std::make_unique<VersionFetchJob>(stage.url, stage.settings);
        std::this_thread::sleep_for(milliseconds(200));
        const auto start = steady_clock::now();
        job.reset();
        EXPECT_LT(MillisecondsSince(start), kPromptly);
    }
}

}  // namespace
}  // namespace pixmora
