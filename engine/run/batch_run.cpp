// The batch run loop.
#include "engine/run/batch_run.h"

#include "engine/run/file_resize.h"
#include "engine/codec/jpeg_image.h"
#include "engine/text/number_text.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

namespace {

// The window's side of each file: the picture shown, the window's events handled once, the
// measures before, and the settings read from the window.
class WindowSteps : public FileResizeSteps {
public:
    WindowSteps(const std::vector<TListe_File>& files, int32_t index, BatchView& view)
        : files_(files), index_(index), view_(view) {}

    bool Loaded(const TListe_File& entry, const TJPEGImage& image) override {
        view_.ClearPicture();
        view_.ShowImage(image);
        view_.ProcessPendingEvents();
        // Clear list may have emptied files during the events.
        if (static_cast<std::size_t>(index_) >= files_.size()) return false;
        view_.SetMeasureText(MeasureLabel::Width, "Width : " + FormatIntText(image.Width()));
        view_.SetMeasureText(MeasureLabel::Height, "Height : " + FormatIntText(image.Height()));
        view_.SetMeasureText(MeasureLabel::Size, SizeText(entry.FullName));
        return true;
    }
    void Resized(const TJPEGImage& image) override { view_.ShowResizedImage(image); }
    int32_t Ratio() override { return view_.RatioInteger(); }
    bool FixedFolderMode() override { return view_.FixedFolderMode(); }
    std::string FixedFolder() override { return view_.FixedFolder(); }

private:
    const std::vector<TListe_File>& files_;
    int32_t index_;
    BatchView& view_;
};

}  // namespace

std::string ProcessingText(int32_t processed, int32_t count) {
    return "processing " + FormatIntText(processed) + " / " + FormatIntText(count);
}

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
        view.SetStatusCaption(ProcessingText(0, state.FileCount));
        view.SetProgressMax(state.FileCount);
        view.SetProgressValue(0);
        view.RepaintProgress();

        for (int32_t i = 0; i < state.FileCount; ++i) {
            // Clear list may have emptied files during an earlier file's events.
            if (static_cast<std::size_t>(i) >= files.size()) break;
            const TListe_File entry = files[static_cast<std::size_t>(i)];
            in_progress = entry.FullName;

            view.SelectLine(i);
            WindowSteps steps(files, i, view);
            std::string output;
            const FileResizeOutcome outcome = ResizeListedFile(entry, image, target, steps, output);
            if (outcome == FileResizeOutcome::Left) break;
            if (outcome == FileResizeOutcome::Saved) {
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
