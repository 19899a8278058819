// The save gate: closing it waits for the save in progress.
#include "engine/run/run_control.h"

#include <atomic>
#include <chrono>
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

}  // namespace
}  // namespace pixmora
