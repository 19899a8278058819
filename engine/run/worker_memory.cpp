// Keeping a worker's memory from file to file within the run's budget.
#include "engine/run/worker_memory.h"

#include <algorithm>
#include <utility>

namespace pixmora {

namespace {

// Files of several kinds and sizes alternate in a folder (baseline and progressive, small
// and large): a kept part over twice a file's need goes only once this many files in a
// row have needed so little of it.
constexpr int kSmallerFilesBeforeDropping = 8;

// Whether the kept part serves a file needing needed, counting the files in a row that
// needed less than half of it.
bool Keeps(uint64_t kept, uint64_t needed, int& smaller_in_a_row) {
    if (kept < needed || kept / 2 <= needed) {
        smaller_in_a_row = 0;
        return kept >= needed;
    }
    if (++smaller_in_a_row < kSmallerFilesBeforeDropping) return true;
    smaller_in_a_row = 0;
    return false;
}

}  // namespace

MemoryReservation WorkerMemory::ShareFor(MemoryPool& pool, uint64_t decoder_bytes,
                                         uint64_t target_bytes, uint64_t other_bytes) {
    if (!Keeps(arena_.Capacity(), decoder_bytes, smaller_for_arena_)) arena_.Release();
    // The file is loaded by now, which let go of the last target.
    if (!Keeps(target_.Capacity(), target_bytes, smaller_for_target_)) target_.Clear();
    kept_.ShrinkTo(KeptBytes());
    const uint64_t need = std::max(arena_.Capacity(), decoder_bytes) +
                          std::max(target_.Capacity(), target_bytes) + other_bytes;
    MemoryReservation share;
    if (pool.TryGrow(kept_, need)) {
        share = std::move(kept_);
    } else {
        ReleaseKept();
        share = pool.Reserve(decoder_bytes + target_bytes + other_bytes);
    }
    arena_.Prepare(decoder_bytes);
    return share;
}

void WorkerMemory::KeepAfterFile(MemoryPool& pool, MemoryReservation share) {
    // A file that took no share (it failed before) leaves the kept one as it was.
    if (share.Bytes() != 0) kept_ = std::move(share);
    if (pool.Waiting()) {
        image_ = TJPEGImage();
        ReleaseKept();
        return;
    }
    kept_.ShrinkTo(KeptBytes());
}

void WorkerMemory::Release() {
    image_ = TJPEGImage();
    ReleaseKept();
}

void WorkerMemory::ReleaseKept() {
    arena_.Release();
    target_.Clear();
    kept_.Release();
}

}  // namespace pixmora
