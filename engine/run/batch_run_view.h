// What a batch run asks of its owner, the thread that drives it (the window's GUI thread,
// or pixmora-batch's main thread): every call but Wake comes on that thread, outside the
// run's lock, one at a time.
#pragma once

#include <cstdint>

#include "engine/files/file_entry.h"
#include "engine/run/file_result.h"

namespace pixmora {

class BatchRunView {
public:
    virtual ~BatchRunView() = default;

    // The entry at index, names derived, and the settings it is resized with, read now;
    // false when the list holds no such entry any more: no file after it starts.
    virtual bool StartFile(int32_t index, TListe_File& entry, FileSettings& settings) = 0;
    // A file is done, in list order: its output is committed when it was saved (the
    // outcome says so). processed counts the files done so far. A load failure ends the
    // run: files after it are dropped unwritten.
    virtual void FileDone(int32_t index, const TListe_File& entry, const FileResult& result,
                          int32_t processed) = 0;
    // From any thread: the run has news; the owner calls Pump on its own thread soon.
    virtual void Wake() = 0;
};

}  // namespace pixmora
