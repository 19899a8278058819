// The batch run behind Start and behind pixmora-batch: the listed files resized by worker
// threads, several at once, with every rule of the one-file-at-a-time run holding as its
// owner sees it:
// - files are done, shown and counted in list order, whichever worker finishes first;
// - an output is committed (takes its name) only once every earlier file is done, so a
//   file that fails to load ends the run exactly where one worker would have: files after
//   it that finished early are dropped, never written;
// - a failed save is reported and the run goes on;
// - a stop request starts no new file; the files in progress are finished and written;
// - a file waits while an earlier file with the same output, or whose output is its
//   source, is not done: two files are never written to one path at once, the later one
//   wins, and a folder resized twice reads what the first pass wrote;
// - one memory budget serves the whole run (see MemoryPool).
// The owner drives the run by calling Pump whenever the view's Wake asks for it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/codec/jpeg_image.h"
#include "engine/memory/memory_pool.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/run/batch_run_view.h"
#include "engine/run/file_result.h"
#include "engine/run/output_order_queue.h"
#include "engine/run/run_control.h"
#include "engine/run/worker_memory.h"

namespace pixmora {

inline constexpr char kFileErrorPrefix[] = "JPEG File error : ";

// The status caption once processed files of count are done: "processing 3 / 10".
std::string ProcessingText(int32_t processed, int32_t count);

struct BatchRunOptions {
    int jobs = 1;  // files in progress at most
    // The whole run's memory budget; 0: DefaultMemoryBudget.
    uint64_t memory_budget = 0;
    // Entries started past one that waits for an earlier file's output; 0 keeps the starts
    // in list order.
    int look_ahead = 0;
};

class BatchRun {
public:
    // Runs over entries 0 to count - 1, asking the view for each as it starts.
    BatchRun(int32_t count, const BatchRunOptions& options, RunControl& control,
             BatchRunView& view);
    // Starts nothing more, lets the files in progress finish and drops what they wrote.
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    // On the owner's thread: shows the files done, in list order, committing their
    // outputs, and starts new files. Returns true once, when the run has ended. A call
    // made from inside the view's FileDone (a modal box's own event loop) only asks the
    // outer call to look again.
    bool Pump();

    int32_t Count() const { return count_; }
    int32_t Processed() const { return processed_; }
    int32_t Written() const { return written_; }
    // Whether a file that failed to load ended the run.
    bool Failed() const { return failed_; }
    // The run's memory held now: the files' in progress and what the workers keep.
    uint64_t MemoryInUse() { return memory_.InUse(); }

private:
    void Work();
    bool Deliver();  // one file shown; false when the next one is not done yet
    void StartFiles();
    bool Ended() const;

    const int32_t count_;
    const BatchRunOptions options_;
    RunControl& control_;
    BatchRunView& view_;
    MemoryPool memory_;

    // Owner's thread only:
    bool pumping_ = false;
    bool pump_again_ = false;
    bool ended_ = false;
    bool list_ended_ = false;  // the view has no entry at the next index
    bool failed_ = false;
    int32_t next_considered_ = 0;  // the next index to ask the view for
    int32_t next_delivered_ = 0;   // the next index to show
    int32_t started_ = 0;          // files handed to the workers and not yet shown
    int32_t highest_started_ = -1;
    int32_t processed_ = 0;
    int32_t written_ = 0;
    OutputOrderQueue queue_;
    std::map<int32_t, FileJob> considered_;           // asked for, not yet started
    std::map<int32_t, TListe_File> started_entries_;  // started, not yet shown
    WorkerMemory inline_memory_;                      // for a run that could not start a thread

    // Under mutex_:
    std::mutex mutex_;
    std::condition_variable work_;
    std::deque<FileJob> jobs_;
    std::map<int32_t, FileResult> done_;
    bool quitting_ = false;

    std::vector<std::thread> workers_;
};

}  // namespace pixmora
