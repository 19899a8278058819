// A view that writes down every call of the run and the preview, and lets a test act inside
// the run's event handling.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/run/batch_view.h"
#include "engine/files/file_entry.h"

namespace pixmora::test {

class RecordingView : public BatchView {
public:
    explicit RecordingView(std::vector<TListe_File>& files) : files_(files) {}

    std::vector<std::string> calls;
    std::vector<std::string> failures;  // texts of the failure messages
    std::vector<std::string> lines;     // list item texts as last written
    int32_t selected = -1;
    int32_t ratio = 50;
    bool fixed_mode = false;
    std::string fixed_folder;
    bool start_enabled = true;
    bool stop_enabled = false;
    int32_t progress_max = -1;
    int32_t progress_value = -1;
    std::string status;
    std::string measures[6];
    // Runs inside each event handling, with the number of the handling (0 for the first).
    std::function<void(int)> on_events;

    void SetStartEnabled(bool enabled) override;
    void SetStopEnabled(bool enabled) override;
    void RefreshFileList() override;
    void SelectLine(int32_t index) override;
    void SetLineText(int32_t index, const std::string& text) override;
    int32_t SelectedLine() const override { return selected; }
    void ClearPicture() override;
    void ShowImage(const TJPEGImage& image) override;
    void LoadPicture(const std::string& path) override;
    void ProcessPendingEvents() override;
    void SetMeasureText(MeasureLabel label, const std::string& text) override;
    void SetStatusCaption(const std::string& text) override;
    void SetProgressMax(int32_t max) override;
    void SetProgressValue(int32_t value) override;
    void RepaintProgress() override;
    void ShowFailureMessage(const std::string& text) override;
    int32_t RatioInteger() const override { return ratio; }
    bool FixedFolderMode() const override { return fixed_mode; }
    std::string FixedFolder() const override { return fixed_folder; }

private:
    std::vector<TListe_File>& files_;
    int handlings_ = 0;
};

}  // namespace pixmora::test
