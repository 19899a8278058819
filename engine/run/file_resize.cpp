// The steps every file of a run goes through.
#include "engine/run/file_resize.h"

#include <filesystem>
#include <system_error>

#include "engine/resample/resize_to_ratio.h"

namespace pixmora {

bool IsOwnSource(const std::string& source, const std::string& output) {
    std::error_code ec;
    return std::filesystem::equivalent(source, output, ec) && !ec;
}

FileResizeOutcome ResizeListedFile(const TListe_File& entry, TJPEGImage& image,
                                   TPixelBuffer& target, FileResizeSteps& steps,
                                   std::string& output) {
    image.LoadFromFile(entry.FullName);
    if (!steps.Loaded(entry, image)) return FileResizeOutcome::Left;
    ResizeToRatio(image, target, steps.Ratio());
    steps.Resized(image);

    const std::string folder =
        ComposeOutputFolder(entry, steps.FixedFolderMode(), steps.FixedFolder());
    EnsureFolder(folder);
    output = folder + entry.FileName;
    if (IsOwnSource(entry.FullName, output)) return FileResizeOutcome::SaveFailed;
    try {
        const auto hold = steps.HoldWhileSaving();
        image.SaveToFile(output);
    } catch (...) {
        return FileResizeOutcome::SaveFailed;
    }
    return FileResizeOutcome::Saved;
}

}  // namespace pixmora
