// The order in which a parallel run takes its files around outputs in use.
#include "engine/run/output_order_queue.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

// Takes entries until the queue gives none.
std::vector<int> TakeAll(OutputOrderQueue& queue) {
    std::vector<int> taken;
    while (const std::optional<std::size_t> index = queue.Take())
        taken.push_back(static_cast<int>(*index));
    return taken;
}

TEST(OutputOrderQueueTest, DistinctOutputsComeInListOrder) {
    OutputOrderQueue queue({"a", "b", "c"});
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(queue.AllTaken());
}

TEST(OutputOrderQueueTest, ALaterEntryWaitsForAnEarlierOneWithItsOutput) {
    // Entries 0, 2 and 3 write "x": each waits for the one before it to finish, while the
    // entries around them go ahead.
    OutputOrderQueue queue({"x", "y", "x", "x", "z"});
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 1, 4}));
    EXPECT_FALSE(queue.AllTaken());
    queue.Finish(1);
    EXPECT_EQ(queue.Take(), std::nullopt);  // 2 still waits for 0
    queue.Finish(0);
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{2}));  // 3 waits for 2, not only for 0
    queue.Finish(2);
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{3}));
    EXPECT_TRUE(queue.AllTaken());
}

TEST(OutputOrderQueueTest, AnEntryHeldBackGoesBeforeLaterOnes) {
    OutputOrderQueue queue({"x", "x", "y"});
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(0));
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(2));
    queue.Finish(0);
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(1));
    EXPECT_TRUE(queue.AllTaken());
}

TEST(OutputOrderQueueTest, OneOutputListedManyTimesIsTakenOneAtATime) {
    const std::size_t count = 1000;
    OutputOrderQueue queue(std::vector<std::string>(count, "same"));
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(queue.Take(), std::optional<std::size_t>(i));
        ASSERT_EQ(queue.Take(), std::nullopt);
        queue.Finish(i);
    }
    EXPECT_TRUE(queue.AllTaken());
    EXPECT_EQ(queue.Take(), std::nullopt);
}

}  // namespace
}  // namespace pixmora
