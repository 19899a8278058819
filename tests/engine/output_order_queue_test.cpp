// The order in which a parallel run takes its files around outputs in use.
#include "engine/run/output_order_queue.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pixmora {
namespace {

// A queue holding entries with these outputs, each reading a source of its own.
OutputOrderQueue QueueOf(const std::vector<std::string>& outputs) {
    OutputOrderQueue queue;
    for (std::size_t i = 0; i < outputs.size(); ++i)
        queue.Add(i, outputs[i], "source " + std::to_string(i));
    return queue;
}

// Takes entries until the queue gives none.
std::vector<int> TakeAll(OutputOrderQueue& queue) {
    std::vector<int> taken;
    while (const std::optional<std::size_t> index = queue.Take())
        taken.push_back(static_cast<int>(*index));
    return taken;
}

TEST(OutputOrderQueueTest, DistinctOutputsComeInListOrder) {
    OutputOrderQueue queue = QueueOf({"a", "b", "c"});
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST(OutputOrderQueueTest, ALaterEntryWaitsForAnEarlierOneWithItsOutput) {
    // Entries 0, 2 and 3 write "x": each waits for the one before it to finish, while the
    // entries around them go ahead.
    OutputOrderQueue queue = QueueOf({"x", "y", "x", "x", "z"});
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 1, 4}));
    EXPECT_NE(queue.Waiting(), 0u);
    queue.Finish(1);
    EXPECT_EQ(queue.Take(), std::nullopt);  // 2 still waits for 0
    queue.Finish(0);
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{2}));  // 3 waits for 2, not only for 0
    queue.Finish(2);
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{3}));
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST(OutputOrderQueueTest, AnEntryHeldBackGoesBeforeLaterOnes) {
    OutputOrderQueue queue = QueueOf({"x", "x", "y"});
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(0));
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(2));
    queue.Finish(0);
    EXPECT_EQ(queue.Take(), std::optional<std::size_t>(1));
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST(OutputOrderQueueTest, OneOutputListedManyTimesIsTakenOneAtATime) {
    const std::size_t count = 1000;
    OutputOrderQueue queue = QueueOf(std::vector<std::string>(count, "same"));
    for (std::size_t i = 0; i < count; ++i) {
        ASSERT_EQ(queue.Take(), std::optional<std::size_t>(i));
        ASSERT_EQ(queue.Take(), std::nullopt);
        queue.Finish(i);
    }
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_EQ(queue.Take(), std::nullopt);
}

TEST(OutputOrderQueueTest, AnEntryReadingAnEarlierEntrysOutputWaitsForIt) {
    // A folder resized twice: t/a.jpg writes t/t/a.jpg, which the next entry reads.
    OutputOrderQueue queue;
    queue.Add(0, "t/t/a.jpg", "t/a.jpg");
    queue.Add(1, "t/t/t/a.jpg", "t/t/a.jpg");
    queue.Add(2, "t/t/b.jpg", "t/b.jpg");
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 2}));
    queue.Finish(2);
    EXPECT_EQ(queue.Take(), std::nullopt);
    queue.Finish(0);
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{1}));
}

TEST(OutputOrderQueueTest, ADroppedEntryHoldsNothingBack) {
    OutputOrderQueue queue = QueueOf({"x", "x", "y"});
    EXPECT_EQ(TakeAll(queue), (std::vector<int>{0, 2}));
    queue.Drop(1);
    EXPECT_EQ(queue.Waiting(), 0u);
    queue.Finish(0);
    EXPECT_EQ(queue.Take(), std::nullopt);
}

}  // namespace
}  // namespace pixmora
