// The parallel run's view on a terminal: progress and failure messages on the error stream,
// the progress redrawn on one line when the stream is a terminal.
#pragma once

#include <ostream>
#include <string>

#include "engine/run/parallel_batch_view.h"

namespace pixmora {

class TerminalView : public ParallelBatchView {
public:
    TerminalView(std::ostream& err, bool err_is_terminal);

    void SetStatusCaption(const std::string& text) override;
    // "PATH: REASON", escaped.
    void ShowFileFailure(const std::string& path, const FailureReason& reason) override;
    void ShowStopping() override;
    // Ends an open progress line.
    void Finish();

private:
    void EndProgressLine();

    std::ostream& err_;
    bool err_is_terminal_;
    bool progress_line_open_ = false;
};

}  // namespace pixmora
