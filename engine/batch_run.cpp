// The batch run loop.
#include "engine/batch_run.h"

#include <filesystem>
#include <system_error>

#include "engine/jpeg_image.h"
#include "engine/number_text.h"
#include "engine/pixel_buffer.h"
#include "engine/resize_to_ratio.h"

namespace pixmora {

namespace {

std::string ProcessingText(int32_t processed, int32_t count) {
    return "processing " + FormatIntText(processed) + " / " + FormatIntText(count);
}

// Saves the resized image; false when the save failed or would replace the source itself (a
// fixed folder that is the source folder's parent, a file directly under the root).
bool SaveOutput(TJPEGImage& image, const std::string& source, const std::string& output) {
    std::error_code ec;
    if (std::filesystem::equivalent(source, output, ec) && !ec) return false;
    try {
        image.SaveToFile(output);
    } catch (...) {
        return false;
    }
    return true;
}

}  // namespace

void RunBatch(const std::vector<TListe_File>& files, RunState& state, BatchView& view) {
    view.SetStartEnabled(false);
    view.SetStopEnabled(true);
    state.StopRequested = false;
    state.FileCount = static_cast<int32_t>(files.size());
    try {
        view.RefreshFileList();
    } catch (...) {
        // The rebuild keeps its own failures; the run goes on with the entries it counted.
    }

    std::string in_progress;  // FullName named by the failure message
    try {
        TJPEGImage image;
        TPixelBuffer target;
        int32_t processed = 0;
        view.SetStatusCaption("processing 0 / " + FormatIntText(state.FileCount));
        view.SetProgressMax(state.FileCount);
        view.SetProgressValue(0);
        view.RepaintProgress();

        for (int32_t i = 0; i < state.FileCount; ++i) {
            // Clear list may have emptied files during an earlier file's events.
            if (static_cast<std::size_t>(i) >= files.size()) break;
            const TListe_File entry = files[static_cast<std::size_t>(i)];
            in_progress = entry.FullName;

            view.SelectLine(i);
            image.LoadFromFile(entry.FullName);
            view.ClearPicture();
            view.ShowImage(image);
            view.ProcessPendingEvents();
            if (static_cast<std::size_t>(i) >= files.size()) break;

            view.SetMeasureText(MeasureLabel::Width, "Width : " + FormatIntText(image.Width()));
            view.SetMeasureText(MeasureLabel::Height, "Height : " + FormatIntText(image.Height()));
            view.SetMeasureText(MeasureLabel::Size, SizeText(entry.FullName));

            ResizeToRatio(image, target, view.RatioInteger());
            view.ShowResizedImage(image);

            const std::string folder =
                ComposeOutputFolder(entry, view.FixedFolderMode(), view.FixedFolder());
            EnsureFolder(folder);
            const std::string output = folder + entry.FileName;
            if (SaveOutput(image, entry.FullName, output)) {
                // The line is marked only while it still shows the file just written.
                if (static_cast<std::size_t>(i) < files.size() &&
                    files[static_cast<std::size_t>(i)].FullName == entry.FullName) {
                    view.SetLineText(i, entry.FullName + "|1");
                }
            } else {
                view.ShowFailureMessage(kFileErrorPrefix + entry.FullName);
            }

            view.SetMeasureText(MeasureLabel::WidthNew, "Width : " + FormatIntText(image.Width()));
            view.SetMeasureText(MeasureLabel::HeightNew,
                                "Height : " + FormatIntText(image.Height()));
            view.SetMeasureText(MeasureLabel::SizeNew, SizeText(output));

            ++processed;
            view.SetProgressValue(processed);
            view.SetStatusCaption(ProcessingText(processed, state.FileCount));
            if (state.StopRequested) break;
        }
    } catch (...) {
        view.ShowFailureMessage(kFileErrorPrefix + in_progress);
    }
    view.SetStartEnabled(true);
    view.SetStopEnabled(false);
}

void StopRun(RunState& state, BatchView& view) {
    state.StopRequested = true;
    view.SetStartEnabled(true);
    view.SetStopEnabled(false);
}

}  // namespace pixmora
