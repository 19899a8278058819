// A worker's memory over several files: the large buffers are had once and reused, a file
// larger than what is kept still works and the kept memory shrinks again after it, what is
// kept counts in the budget, and the outputs are those of a worker that keeps nothing.
#include "engine/run/worker_memory.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/files/file_entry.h"
#include "engine/memory/codec_arena.h"
#include "engine/run/file_resize.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

constexpr uint64_t kBudget = uint64_t{1} << 30;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class WorkerMemoryTest : public ::testing::Test {
protected:
    // A progressive source of the given size; its name tells the size.
    std::string Source(int width, int height, int copy = 0) {
        const std::string name = "In/p" + std::to_string(width) + "x" + std::to_string(height) +
                                 "_" + std::to_string(copy) + ".jpg";
        return temp_.WriteFile(name,
                               test::MakeJpeg(test::Progressive(test::Options(width, height))));
    }
    FileJob Job(const std::string& source, const std::string& out_folder) {
        FileJob job;
        job.entry.FullName = source;
        DeriveEntryNames(job.entry);
        job.settings.ratio = 50;
        job.settings.fixed_folder_mode = true;
        job.settings.fixed_folder = (temp_.Path() / out_folder).string() + "/";
        job.output = OutputPath(job.entry, true, job.settings.fixed_folder);
        return job;
    }
    // Resizes source with kept memory and again with memory of its own; both outputs
    // committed, and compared.
    FileResult ResizeBoth(WorkerMemory& kept, const std::string& source) {
        FileJob job = Job(source, "Kept");
        FileResult result = ResizeListedFile(job, kept, pool_, control_);
        EXPECT_EQ(result.outcome, FileOutcome::Saved) << source;
        result.pending.Commit();
        WorkerMemory fresh;
        FileJob alone = Job(source, "Fresh");
        FileResult reference = ResizeListedFile(alone, fresh, pool_, control_);
        reference.pending.Commit();
        EXPECT_EQ(Contents(job.output), Contents(alone.output)) << source;
        return result;
    }

    test::TempFolder temp_;
    MemoryPool pool_{kBudget};
    RunControl control_;
};

TEST_F(WorkerMemoryTest, FilesOfARunHaveTheLargeBuffersOnce) {
    WorkerMemory kept;
    const uint8_t* target_pixels = nullptr;
    for (int copy = 0; copy < 4; ++copy) {
        // Sizes a little apart, as the photos of one camera are.
        const FileResult result = ResizeBoth(kept, Source(1200 - 8 * copy, 900, copy));
        EXPECT_EQ(result.target_width, (1200 - 8 * copy) / 2);
        if (copy == 0) target_pixels = std::as_const(kept.Target()).Row(0);
        EXPECT_EQ(std::as_const(kept.Target()).Row(0), target_pixels)
            << "the target was allocated again";
    }
    EXPECT_EQ(kept.Arena().BlocksAllocated(), 1u);
    // Every large object of libjpeg, the whole-image coefficients included, came from it.
    EXPECT_GE(kept.Arena().PiecesLent(), 4u * 3u);
    EXPECT_EQ(kept.Arena().PiecesOutside(), 0u);
    EXPECT_GT(kept.KeptBytes(), 0u);
}

TEST_F(WorkerMemoryTest, AFileLargerThanWhatIsKeptWorksAndTheKeptMemoryShrinksAfter) {
    WorkerMemory kept;
    ResizeBoth(kept, Source(640, 480));
    const uint64_t small = kept.KeptBytes();
    const FileResult large = ResizeBoth(kept, Source(2400, 1800));
    EXPECT_EQ(large.target_width, 1200);
    EXPECT_GT(kept.KeptBytes(), 3 * small);
    EXPECT_EQ(kept.Arena().PiecesOutside(), 0u);
    // Up to seven small files between large ones keep the large memory; an eighth in a row
    // lets it go.
    for (int copy = 1; copy <= 7; ++copy) {
        ResizeBoth(kept, Source(640, 480, copy));
        EXPECT_GT(kept.KeptBytes(), 3 * small) << copy;
    }
    ResizeBoth(kept, Source(640, 480, 8));
    EXPECT_LE(kept.KeptBytes(), small + small / 4);
    EXPECT_EQ(kept.Arena().BlocksAllocated(), 3u);
}

TEST_F(WorkerMemoryTest, SmallAndLargeFilesInTurnKeepTheLargeMemory) {
    WorkerMemory kept;
    for (int copy = 0; copy < 3; ++copy) {
        ResizeBoth(kept, Source(1600, 1200, copy));
        ResizeBoth(kept, Source(320, 240, copy));
    }
    EXPECT_EQ(kept.Arena().BlocksAllocated(), 1u);
}

TEST_F(WorkerMemoryTest, WhatIsKeptCountsInTheBudgetUntilReleased) {
    WorkerMemory kept;
    ResizeBoth(kept, Source(800, 600));
    ASSERT_GT(kept.KeptBytes(), 0u);
    EXPECT_EQ(kept.SharedBytes(), kept.KeptBytes());
    MemoryReservation other;
    EXPECT_FALSE(pool_.TryGrow(other, kBudget - kept.SharedBytes() + 1));
    EXPECT_TRUE(pool_.TryGrow(other, kBudget - kept.SharedBytes()));
    other.Release();

    kept.Release();
    EXPECT_EQ(kept.KeptBytes(), 0u);
    EXPECT_TRUE(pool_.TryGrow(other, kBudget));
}

TEST_F(WorkerMemoryTest, AFileWaitingForMemoryGetsWhatAnotherWorkerKept) {
    // Room for one file at a time: the second worker's file waits for the first's.
    MemoryPool pool(48u << 20);
    const std::string second = Source(1600, 1200, 1);
    WorkerMemory one;
    MemoryReservation share = one.ShareFor(pool, 40u << 20, 3u << 20);
    std::thread waiting([&] {
        WorkerMemory two;
        const FileResult result = ResizeListedFile(Job(second, "Two"), two, pool, control_);
        EXPECT_EQ(result.outcome, FileOutcome::Saved);
    });
    // The waiting file is in the pool's line before the first worker is done.
    while (!pool.Waiting()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    one.KeepAfterFile(pool, std::move(share));
    EXPECT_EQ(one.SharedBytes(), 0u);
    EXPECT_EQ(one.KeptBytes(), 0u);
    waiting.join();
}

TEST(CodecArena, KeepsABlockThatHoldsTheNeedAndReplacesOneThatDoesNot) {
    TCodecArena arena;
    arena.Prepare(8u << 20);
    arena.Prepare(8u << 20);
    arena.Prepare(1u << 20);
    EXPECT_EQ(arena.BlocksAllocated(), 1u);
    EXPECT_EQ(arena.Capacity(), 8u << 20);
    arena.Prepare(9u << 20);
    EXPECT_EQ(arena.BlocksAllocated(), 2u);
    EXPECT_EQ(arena.Capacity(), 9u << 20);
}

TEST(CodecArena, LendsPiecesUntilFullAndAllAgainOnceTheLastUserEnds) {
    TCodecArena arena;
    arena.Prepare(1000);
    arena.BeginUse();
    void* first = arena.Take(600);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(arena.Owns(first));
    EXPECT_EQ(arena.Take(600), nullptr);
    arena.BeginUse();
    arena.EndUse();
    // One user still draws on it.
    EXPECT_EQ(arena.Take(600), nullptr);
    // Nor may the block go while lent out.
    arena.Prepare(100000);
    EXPECT_EQ(arena.Capacity(), 1000u);
    arena.EndUse();
    EXPECT_EQ(arena.Take(600), first);
    int outside = 0;
    EXPECT_FALSE(arena.Owns(&outside));
}

}  // namespace
}  // namespace pixmora
