// What the batch run and the preview show and read on the main window. The Qt window and the
// terminal of pixmora-batch implement it; tests record it.
#pragma once

#include <cstdint>
#include <string>

namespace pixmora {

class TJPEGImage;

// The six measure labels: the source's figures before, the resized copy's after.
enum class MeasureLabel { Width, Height, Size, WidthNew, HeightNew, SizeNew };

class BatchView {
public:
    virtual ~BatchView() = default;

    // BTN_Start and BTN_Stop.
    virtual void SetStartEnabled(bool enabled) = 0;
    virtual void SetStopEnabled(bool enabled) = 0;

    // The file list: rebuilds it from Files (every line "|0", names derived, line 0 selected
    // and previewed); selects line i from the program (no preview); replaces line i's text.
    virtual void RefreshFileList() = 0;
    virtual void SelectLine(int32_t index) = 0;
    virtual void SetLineText(int32_t index, const std::string& text) = 0;
    // The selected line, -1 when none.
    virtual int32_t SelectedLine() const = 0;

    // IMG_Source: cleared; showing a loaded image (the view keeps its own copy and decodes
    // it to paint it); loading a file by itself, its kind chosen by extension (may throw).
    virtual void ClearPicture() = 0;
    virtual void ShowImage(const TJPEGImage& image) = 0;
    virtual void LoadPicture(const std::string& path) = 0;
    // The run's resized picture, as soon as it is made: a view that paints a reduced copy of
    // the file shown can take it from here instead of decoding the file a second time.
    virtual void ShowResizedImage(const TJPEGImage& image) { (void)image; }

    // Lets the window handle its pending events once (Stop, clicks, drops...).
    virtual void ProcessPendingEvents() = 0;

    virtual void SetMeasureText(MeasureLabel label, const std::string& text) = 0;
    virtual void SetStatusCaption(const std::string& text) = 0;  // PNL_Process
    virtual void SetProgressMax(int32_t max) = 0;
    virtual void SetProgressValue(int32_t value) = 0;
    virtual void RepaintProgress() = 0;

    // The modal failure message; returns when the user has closed it.
    virtual void ShowFailureMessage(const std::string& text) = 0;

    // Read anew at each use: the ratio box's integer, the fixed-folder choice, its folder.
    virtual int32_t RatioInteger() const = 0;
    virtual bool FixedFolderMode() const = 0;
    virtual std::string FixedFolder() const = 0;
};

}  // namespace pixmora
