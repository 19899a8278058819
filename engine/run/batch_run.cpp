// Worker threads resizing the listed files, and the owner's side: starting files, showing
// them in list order and committing their outputs.
#include "engine/run/batch_run.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "engine/memory/memory_budget.h"
#include "engine/run/file_resize.h"
#include "engine/text/number_text.h"

namespace pixmora {

namespace {

// Files started and not yet shown besides those in progress: each holds its written output
// open until it is committed, so an early file that takes long must not let the later ones
// run unbounded ahead of it.
constexpr int32_t kDoneAhead = 32;
// How long a worker without a file keeps its memory: far longer than the owner takes to
// start the next file, short beside a box waiting for the user.
constexpr std::chrono::milliseconds kIdleBeforeRelease{250};

// Clears a flag when the scope is left, exceptions included.
class FlagSetter {
public:
    explicit FlagSetter(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagSetter() { flag_ = false; }
    FlagSetter(const FlagSetter&) = delete;
    FlagSetter& operator=(const FlagSetter&) = delete;

private:
    bool& flag_;
};

}  // namespace

std::string ProcessingText(int32_t processed, int32_t count) {
    return "processing " + FormatIntText(processed) + " / " + FormatIntText(count);
}

BatchRun::BatchRun(int32_t count, const BatchRunOptions& options, RunControl& control,
                   BatchRunView& view)
    : count_(count),
      options_(options),
      control_(control),
      view_(view),
      memory_(options.memory_budget != 0 ? options.memory_budget : DefaultMemoryBudget()) {
    const int jobs = std::clamp(options.jobs, 1, std::max(count, 1));
    for (int i = 0; i < jobs; ++i) {
        try {
            workers_.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // The system gives no more threads: the run goes on with those it has.
            break;
        }
    }
}

BatchRun::~BatchRun() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quitting_ = true;
        jobs_.clear();
    }
    work_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void BatchRun::Work() {
    WorkerMemory kept;
    const auto has_work = [this] { return quitting_ || !jobs_.empty(); };
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        if (!work_.wait_for(lock, kIdleBeforeRelease, has_work)) {
            // No file came for a while (the run waits on a box, or is over): what the
            // worker kept is of more use to the others and to the system.
            lock.unlock();
            kept.Release();
            lock.lock();
            work_.wait(lock, has_work);
        }
        if (jobs_.empty()) return;
        FileJob job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        FileResult result = ResizeListedFile(job, kept, memory_, control_);
        lock.lock();
        done_.emplace(job.index, std::move(result));
        lock.unlock();
        view_.Wake();
        lock.lock();
    }
}

bool BatchRun::Pump() {
    if (ended_) return false;
    if (pumping_) {
        pump_again_ = true;
        return false;
    }
    {
        const FlagSetter pumping(pumping_);
        do {
            pump_again_ = false;
            // Workers that are free get their next file before anything is shown, so that
            // none waits while a file is shown or a box is up.
            StartFiles();
            bool shown = false;
            while (Deliver()) shown = true;
            // A file shown may free an output that a waiting file needs.
            if (shown) StartFiles();
        } while (pump_again_);
    }
    if (!Ended()) return false;
    ended_ = true;
    return true;
}

bool BatchRun::Deliver() {
    if (started_ == 0) return false;
    FileResult result;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto done = done_.find(next_delivered_);
        if (done == done_.end()) return false;
        result = std::move(done->second);
        done_.erase(done);
    }
    const int32_t index = next_delivered_++;
    --started_;
    const auto started = started_entries_.find(index);
    const TListe_File entry = std::move(started->second);
    started_entries_.erase(started);
    queue_.Finish(static_cast<std::size_t>(index));
    // After a file that failed to load nothing is shown or written: what was written
    // ahead of it is dropped with the result.
    if (failed_) return true;

    if (result.outcome == FileOutcome::Saved) {
        try {
            const auto hold = control_.EnterSave();
            result.pending.Commit();
            ++written_;
        } catch (const std::exception& failure) {
            result.outcome = FileOutcome::SaveFailed;
            result.failure = FailureReasonOf(failure, FailureStage::Save, result.output);
        }
    }
    if (result.outcome == FileOutcome::LoadFailed) {
        failed_ = true;
        considered_.clear();
    } else {
        ++processed_;
    }
    view_.FileDone(index, entry, result, processed_);
    return true;
}

void BatchRun::StartFiles() {
    if (failed_) return;
    const bool stopping = control_.StopRequested();
    if (stopping) {
        // Entries passed over for one in progress are still done, so that the files shown
        // stay in list order; none after the last one started begins.
        for (auto job = considered_.begin(); job != considered_.end();) {
            if (job->first < highest_started_) {
                ++job;
                continue;
            }
            queue_.Drop(static_cast<std::size_t>(job->first));
            job = considered_.erase(job);
        }
    }
    const int32_t jobs = static_cast<int32_t>(std::max<std::size_t>(workers_.size(), 1));
    for (;;) {
        int32_t in_progress = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            in_progress = started_ - static_cast<int32_t>(done_.size());
        }
        if (in_progress >= jobs || started_ >= jobs + kDoneAhead) return;
        if (!stopping && !list_ended_ && next_considered_ < count_ &&
            queue_.Waiting() <= static_cast<std::size_t>(std::max(options_.look_ahead, 0))) {
            FileJob job;
            job.index = next_considered_;
            if (!view_.StartFile(job.index, job.entry, job.settings)) {
                list_ended_ = true;
            } else {
                ++next_considered_;
                job.output = OutputPath(job.entry, job.settings.fixed_folder_mode,
                                        job.settings.fixed_folder);
                queue_.Add(static_cast<std::size_t>(job.index), OutputIdentity(job.output),
                           OutputIdentity(job.entry.FullName));
                considered_.emplace(job.index, std::move(job));
            }
        }
        const std::optional<std::size_t> taken = queue_.Take();
        if (!taken) return;
        const auto considered = considered_.find(static_cast<int32_t>(*taken));
        FileJob job = std::move(considered->second);
        considered_.erase(considered);
        ++started_;
        highest_started_ = std::max(highest_started_, job.index);
        started_entries_.emplace(job.index, job.entry);
        if (workers_.empty()) {
            // No thread could be had: the owner does the file itself.
            FileResult result = ResizeListedFile(job, inline_memory_, memory_, control_);
            const std::lock_guard<std::mutex> lock(mutex_);
            done_.emplace(job.index, std::move(result));
            continue;
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        work_.notify_one();
    }
}

bool BatchRun::Ended() const {
    if (started_ > 0) return false;
    if (failed_) return true;
    if (!considered_.empty()) return false;
    return control_.StopRequested() || list_ended_ || next_considered_ >= count_;
}

}  // namespace pixmora
