// One listed file through a run: loaded, resized by the ratio and saved into its output
// folder, never over its own source. The window's run and pixmora-batch's parallel run both
// go through it; what each shows between the steps is its own.
#pragma once

#include <cstdint>
#include <shared_mutex>
#include <string>

#include "engine/files/file_entry.h"
#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// The caller's side of one file: what it does between the steps, and the settings, each
// read at the step that uses it.
class FileResizeSteps {
public:
    virtual ~FileResizeSteps() = default;

    // The file is loaded (its header read); false leaves it there, unresized and unsaved.
    virtual bool Loaded(const TListe_File& entry, const TJPEGImage& image) = 0;
    // The picture is resized; nothing by default.
    virtual void Resized(const TJPEGImage& image) { (void)image; }
    virtual int32_t Ratio() = 0;
    virtual bool FixedFolderMode() = 0;
    virtual std::string FixedFolder() = 0;
    // Held while the output is encoded and written; nothing by default.
    virtual std::shared_lock<std::shared_mutex> HoldWhileSaving() { return {}; }
};

enum class FileResizeOutcome {
    Left,        // Loaded said no
    Saved,       // the output is written
    SaveFailed,  // the save failed, or would have replaced the source itself
};

// Loads entry.FullName into image, resizes it onto target, makes the output folder and saves
// the output there; output receives the output path once it is known. Names must be
// derived. Throws what loading and resizing throw: the failures that end a run.
FileResizeOutcome ResizeListedFile(const TListe_File& entry, TJPEGImage& image,
                                   TPixelBuffer& target, FileResizeSteps& steps,
                                   std::string& output);

// Whether output names the source file itself (a fixed folder that is the source folder's
// parent, a file directly under the root): such an output is never written.
bool IsOwnSource(const std::string& source, const std::string& output);

}  // namespace pixmora
