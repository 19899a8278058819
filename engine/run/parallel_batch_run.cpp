// The batch run's owner for a thread that waits instead of handling events.
#include "engine/run/parallel_batch_run.h"

#include "engine/run/batch_run.h"

namespace pixmora {

namespace {

// Entries started past one that waits for an earlier file's output: a list naming one
// output many times must not be scanned whole for every file started.
constexpr int kLookAhead = 64;

class FixedSettingsOwner : public BatchRunView {
public:
    FixedSettingsOwner(const std::vector<TListe_File>& files, const ParallelBatchSettings& settings,
                       RunControl& control, ParallelBatchView& view)
        : files_(files), settings_(settings.file), control_(control), view_(view) {}

    bool StartFile(int32_t index, TListe_File& entry, FileSettings& settings) override {
        entry = files_[static_cast<std::size_t>(index)];
        settings = settings_;
        return true;
    }

    void FileDone(int32_t, const TListe_File& entry, const FileResult& result,
                  int32_t processed) override {
        if (result.warnings > 0) view_.ShowDamagedData(entry.FullName, result.warning);
        if (result.outcome != FileOutcome::Saved)
            view_.ShowFileFailure(entry.FullName, result.failure);
        if (result.outcome != FileOutcome::LoadFailed)
            view_.SetStatusCaption(ProcessingText(processed, Count()));
    }

    void Wake() override {
        {
            const auto lock = control_.Lock();
            ++wakes_;
        }
        control_.WakeAll();
    }

    // Waits for news from the run or a stop request.
    void Wait() {
        auto lock = control_.Lock();
        const bool stopping = control_.StopRequested();
        while (wakes_ == seen_ && control_.StopRequested() == stopping) control_.Wait(lock);
        seen_ = wakes_;
    }

    int32_t Count() const { return static_cast<int32_t>(files_.size()); }

private:
    const std::vector<TListe_File>& files_;
    FileSettings settings_;
    RunControl& control_;
    ParallelBatchView& view_;
    uint64_t wakes_ = 0;  // under the control's lock
    uint64_t seen_ = 0;
};

}  // namespace

int32_t RunBatchInParallel(const std::vector<TListe_File>& files,
                           const ParallelBatchSettings& settings, RunControl& control,
                           ParallelBatchView& view) {
    FixedSettingsOwner owner(files, settings, control, view);
    view.SetStatusCaption(ProcessingText(0, owner.Count()));
    BatchRunOptions options;
    options.jobs = settings.jobs;
    options.memory_budget = settings.memory_budget;
    options.look_ahead = kLookAhead;
    BatchRun run(owner.Count(), options, control, owner);
    bool told = false;
    while (!run.Pump()) {
        owner.Wait();
        if (!told && control.StopRequested()) {
            view.ShowStopping();
            told = true;
        }
    }
    // A request taken while the last files in progress were finishing is told all the same.
    if (!told && control.StopRequested()) view.ShowStopping();
    return run.Written();
}

}  // namespace pixmora
