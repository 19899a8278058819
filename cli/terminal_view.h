// The parallel run's view on a terminal: progress, warning and failure messages on the error
// stream, the progress redrawn on one line when the stream is a terminal. The lines go to a
// printer thread of its own, so that an error stream nobody reads never holds the run or a
// stop request: progress lines waiting to be printed give way to the latest one, the others
// are all kept.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "engine/run/parallel_batch_view.h"

namespace pixmora {

class TerminalView : public ParallelBatchView {
public:
    TerminalView(std::ostream& err, bool err_is_terminal);
    // Finishes when Finish was not called.
    ~TerminalView() override;
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    void SetStatusCaption(const std::string& text) override;
    // "PATH: REASON", escaped.
    void ShowFileFailure(const std::string& path, const FailureReason& reason) override;
    // "PATH: damaged data: MESSAGE".
    void ShowDamagedData(const std::string& path, const std::string& message) override;
    void ShowStopping() override;

    // Ends an open progress line and waits until every line is printed, at most limit:
    // then the printer is left to itself (still blocked on the stream) and false returned.
    bool Finish(std::chrono::milliseconds limit = kFlushLimit);

    // Files shown with damaged data.
    int DamagedFiles() const { return damaged_files_; }

    static constexpr std::chrono::milliseconds kFlushLimit{2000};

private:
    struct Printer;

    std::shared_ptr<Printer> printer_;
    std::thread thread_;
    int damaged_files_ = 0;
};

}  // namespace pixmora
