// Workers taking the listed files in output order, and the calling thread watching them.
#include "engine/run/parallel_batch_run.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "engine/run/batch_run.h"
#include "engine/run/file_resize.h"
#include "engine/codec/jpeg_image.h"
#include "engine/run/memory_budget.h"
#include "engine/run/output_order_queue.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

namespace {

// The settings of a parallel run stay as given; saves pass the control's gate.
class FixedSteps : public FileResizeSteps {
public:
    FixedSteps(const ParallelBatchSettings& settings, RunControl& control)
        : settings_(settings), control_(control) {}

    bool Loaded(const TListe_File&, const TJPEGImage&) override { return true; }
    int32_t Ratio() override { return settings_.ratio; }
    bool FixedFolderMode() override { return settings_.fixed_folder_mode; }
    std::string FixedFolder() override { return settings_.fixed_folder; }
    std::shared_lock<std::shared_mutex> HoldWhileSaving() override { return control_.EnterSave(); }

private:
    const ParallelBatchSettings& settings_;
    RunControl& control_;
};

std::vector<std::string> OutputIdentities(const std::vector<TListe_File>& files,
                                          const ParallelBatchSettings& settings) {
    std::vector<std::string> outputs;
    outputs.reserve(files.size());
    for (const TListe_File& entry : files)
        outputs.push_back(
            OutputIdentity(OutputPath(entry, settings.fixed_folder_mode, settings.fixed_folder)));
    return outputs;
}

class ParallelBatch {
public:
    ParallelBatch(const std::vector<TListe_File>& files, const ParallelBatchSettings& settings,
                  RunControl& control, ParallelBatchView& view)
        : files_(files),
          settings_(settings),
          control_(control),
          view_(view),
          count_(static_cast<int32_t>(files.size())),
          queue_(OutputIdentities(files, settings)) {}

    int32_t Run() {
        view_.SetStatusCaption(ProcessingText(0, count_));
        const int jobs = std::clamp(settings_.jobs, 1, std::max(count_, 1));
        budget_ = settings_.memory_budget != 0 ? settings_.memory_budget
                                               : DefaultMemoryBudget(static_cast<unsigned>(jobs));
        std::vector<std::thread> workers;
        for (int i = 0; i < jobs; ++i) {
            {
                const auto lock = control_.Lock();
                ++running_;
            }
            try {
                workers.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                // The system gives no more threads: the run goes on with those it has.
                const auto lock = control_.Lock();
                --running_;
                break;
            }
        }
        if (workers.empty()) {
            ++running_;
            Work();
        }
        Watch();
        for (std::thread& worker : workers) worker.join();
        return written_;
    }

private:
    // Waits for the workers to end, telling of a stop request as soon as it comes.
    void Watch() {
        auto lock = control_.Lock();
        bool told = false;
        for (;;) {
            if (!told && control_.StopRequested()) {
                view_.ShowStopping();
                told = true;
            }
            if (running_ == 0) break;
            control_.Wait(lock);
        }
    }

    void Work() {
        TJPEGImage image;
        image.SetMemoryBudget(budget_);
        TPixelBuffer target;
        FixedSteps steps(settings_, control_);
        auto lock = control_.Lock();
        while (!control_.StopRequested() && !failed_) {
            const std::optional<std::size_t> index = queue_.Take();
            if (!index) {
                if (queue_.AllTaken()) break;
                control_.Wait(lock);  // an earlier file with the same output is in progress
                continue;
            }
            lock.unlock();
            const TListe_File& entry = files_[*index];
            std::string output;
            bool loaded = true;
            FileResizeOutcome outcome = FileResizeOutcome::SaveFailed;
            try {
                outcome = ResizeListedFile(entry, image, target, steps, output);
            } catch (...) {
                loaded = false;
            }
            lock.lock();
            queue_.Finish(*index);
            if (outcome != FileResizeOutcome::Saved)
                view_.ShowFailureMessage(kFileErrorPrefix + entry.FullName);
            if (loaded) {
                if (outcome == FileResizeOutcome::Saved) ++written_;
                view_.SetStatusCaption(ProcessingText(++processed_, count_));
            } else {
                failed_ = true;
            }
            control_.WakeAll();
        }
        --running_;
        control_.WakeAll();
    }

    const std::vector<TListe_File>& files_;
    const ParallelBatchSettings& settings_;
    RunControl& control_;
    ParallelBatchView& view_;
    const int32_t count_;
    uint64_t budget_ = 0;  // set before the workers start
    // Under the control's lock:
    OutputOrderQueue queue_;
    int running_ = 0;  // workers not yet ended
    int32_t processed_ = 0;
    int32_t written_ = 0;
    bool failed_ = false;  // a file failed before its save: no new file starts
};

}  // namespace

int32_t RunBatchInParallel(const std::vector<TListe_File>& files,
                           const ParallelBatchSettings& settings, RunControl& control,
                           ParallelBatchView& view) {
    return ParallelBatch(files, settings, control, view).Run();
}

}  // namespace pixmora
