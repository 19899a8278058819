// The save gate: closing it waits for the save in progress.
#include "engine/run/run_control.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

TEST(RunControlTest, ClosingTheSavesWaitsForTheSaveInProgress) {
    RunControl control;
    std::shared_lock<std::shared_mutex> save = control.EnterSave();
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        control.CloseSaves();
        closed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(closed);
    save.unlock();
    closer.join();
    EXPECT_TRUE(closed);
}

// The system's lock lets new readers in while a writer waits: saves that keep starting on
// several threads must still let the saves close.
TEST(RunControlTest, SavesThatKeepStartingCannotHoldTheClosingBack) {
    // Savers that come after the closing wait for good, so the control outlives the test.
    auto* control = new RunControl;
    auto saves = std::make_shared<std::atomic<int>>(0);
    for (int i = 0; i < 4; ++i) {
        std::thread([control, saves] {
            for (;;) {
                const std::shared_lock<std::shared_mutex> save = control->EnterSave();
                ++*saves;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }).detach();
    }
    while (*saves < 20) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto closed = std::make_shared<std::atomic<bool>>(false);
    std::thread([control, closed] {
        control->CloseSaves();
        *closed = true;
    }).detach();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!*closed && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(*closed);
    // No save gets in any more.
    const int after = *saves;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(*saves, after);
}

}  // namespace
}  // namespace pixmora
