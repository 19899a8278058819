// What one worker keeps from one file to the next: its picture object, its target picture
// and libjpeg's large memory, with their share of the run's budget.
//
// Files of a run are mostly alike, so the next one can usually decode and resize in the
// memory the last one left, without asking the system (and paying its page faults) again.
// What is kept counts against the budget like any file's memory; it is given back when the
// worker idles, when the run ends, or when another file waits for memory.
#pragma once

#include <cstdint>

#include "engine/codec/jpeg_image.h"
#include "engine/memory/codec_arena.h"
#include "engine/memory/memory_pool.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

class WorkerMemory {
public:
    WorkerMemory() { image_.SetCodecArena(&arena_); }
    WorkerMemory(const WorkerMemory&) = delete;
    WorkerMemory& operator=(const WorkerMemory&) = delete;

    TJPEGImage& Image() { return image_; }
    TPixelBuffer& Target() { return target_; }
    const TCodecArena& Arena() const { return arena_; }

    // The share of pool for a file whose decoding takes up to decoder_bytes of large memory,
    // whose target takes target_bytes and whose other steps other_bytes: what is kept and
    // fits the file stays (a kept part over twice the need of several files in a row is
    // dropped), and the share
    // covers it and the rest of the file's need. When more is needed than is free at once,
    // everything kept is given back first and the share is waited for as
    // MemoryPool::Reserve does (and throws as it).
    MemoryReservation ShareFor(MemoryPool& pool, uint64_t decoder_bytes, uint64_t target_bytes,
                               uint64_t other_bytes = 0);
    // After the file: share becomes the kept memory's, shrunk to what is kept; when another
    // file waits for memory, all is given back instead.
    void KeepAfterFile(MemoryPool& pool, MemoryReservation share);
    // Gives back everything kept, memory and share, the picture object's content included.
    void Release();

    // What is held between files, and the share that counts it.
    uint64_t KeptBytes() const { return arena_.Capacity() + target_.Capacity(); }
    uint64_t SharedBytes() const { return kept_.Bytes(); }

private:
    // The same, keeping the picture object's content (a file loaded for its turn).
    void ReleaseKept();

    // Declared first: the picture object draws on it and goes before it.
    TCodecArena arena_;
    TJPEGImage image_;
    TPixelBuffer target_;
    MemoryReservation kept_;
    // Files in a row that needed less than half of the kept part.
    int smaller_for_arena_ = 0;
    int smaller_for_target_ = 0;
};

}  // namespace pixmora
