// One listed file through a run, on a worker thread: loaded, its share of the run's memory
// taken, resized by the ratio and written whole under no name yet, never over its own
// source. The run commits the output once every earlier file of the list is done.
#pragma once

#include "engine/codec/jpeg_header.h"
#include "engine/codec/jpeg_image.h"
#include "engine/memory/memory_pool.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resample_filter.h"
#include "engine/run/file_result.h"
#include "engine/run/output_refusal.h"
#include "engine/run/run_control.h"
#include "engine/run/worker_memory.h"

namespace pixmora {

// The memory a w x h target and the decoding of the loaded image take together, the
// filter's rows and weights included.
uint64_t FileMemoryNeed(const TJPEGImage& image, int32_t target_width, int32_t target_height,
                        ResampleFilter filter = ResampleFilter::Nearest);
// The same for a file known by its header only.
uint64_t FileMemoryNeed(const TJPEGHeader& header, int32_t target_width, int32_t target_height,
                        ResampleFilter filter = ResampleFilter::Nearest);

// Whether a w x h target holds no pixels, so that nothing is written for the file (a
// negative size is left to fail as an allocation).
bool HasNoPixels(int32_t target_width, int32_t target_height);

// Never throws: every failure is in the result. kept is the worker's own memory, reused
// from file to file and counted in memory.
FileResult ResizeListedFile(const FileJob& job, WorkerMemory& kept, MemoryPool& memory,
                            RunControl& control);

}  // namespace pixmora
