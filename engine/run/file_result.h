// One listed file as a run hands it to a worker, and what the worker makes of it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/files/atomic_file_writer.h"
#include "engine/files/file_entry.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resample_filter.h"
#include "engine/run/failure_reason.h"

namespace pixmora {

// What the run reads for a file when it starts it.
struct FileSettings {
    int32_t ratio = 50;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
    // The picture box that shows the file once it is done; 0 x 0: none.
    int32_t box_width = 0;
    int32_t box_height = 0;
    // pixmora-batch's own choices; the window keeps these defaults.
    // A box the output fits in, instead of the ratio; 0 x 0: none.
    int32_t fit_width = 0;
    int32_t fit_height = 0;
    int quality = 90;
    ResampleFilter filter = ResampleFilter::Nearest;
    // Carry the source's Exif, XMP, IPTC and comments, not only orientation and profile.
    bool keep_metadata = false;
};

struct FileJob {
    int32_t index = 0;
    TListe_File entry;  // names derived
    FileSettings settings;
    std::string output;  // the output path composed from the settings
};

enum class FileOutcome {
    Saved,       // the output is written (committed)
    SaveFailed,  // the output could not be written, or would have replaced the source
    NoPixels,    // the target has no pixels at the ratio: nothing is written
    LoadFailed,  // the file could not be read, decoded or resized: the run ends here
};

struct FileResult {
    FileOutcome outcome = FileOutcome::LoadFailed;
    int32_t source_width = 0;
    int32_t source_height = 0;
    int32_t target_width = 0;
    int32_t target_height = 0;
    // Whether the figures above are known (the header was read).
    bool measured = false;
    // The output path, once composed.
    std::string output;
    // Why the file was not written (also for NoPixels).
    FailureReason failure;
    // libjpeg's warnings while the file was decoded (damaged data: a file cut short, a
    // corrupt segment), and the first one's text; the output is written all the same.
    int warnings = 0;
    std::string warning;
    // The file's picture fitted into the box, when a box was given.
    TPixelBuffer shown;
    // The output written whole, waiting to take its name.
    TPendingFile pending;
};

}  // namespace pixmora
