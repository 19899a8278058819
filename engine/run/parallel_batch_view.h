// What pixmora-batch's run shows, on the thread that drives it.
#pragma once

#include <string>

#include "engine/run/failure_reason.h"

namespace pixmora {

class ParallelBatchView {
public:
    virtual ~ParallelBatchView() = default;

    // "processing k / N": at the start, and each time a file is done.
    virtual void SetStatusCaption(const std::string& text) = 0;
    // A file not written (FullName), and why: a save that failed or was refused, a target
    // without pixels, or a failure that stops the run.
    virtual void ShowFileFailure(const std::string& path, const FailureReason& reason) = 0;
    // A file decoded with libjpeg's warnings (a file cut short, corrupt data): its output
    // is written all the same; message is libjpeg's first warning.
    virtual void ShowDamagedData(const std::string& path, const std::string& message) = 0;
    // A stop request was taken: the files in progress are being finished.
    virtual void ShowStopping() = 0;
};

}  // namespace pixmora
