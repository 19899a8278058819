// The recording view of the engine tests.
#include "recording_view.h"

#include "engine/codec/jpeg_image.h"
#include "engine/codec/picture_kind.h"

namespace pixmora::test {

void RecordingView::SetStartEnabled(bool enabled) {
    start_enabled = enabled;
    calls.push_back(enabled ? "start on" : "start off");
}

void RecordingView::SetStopEnabled(bool enabled) {
    stop_enabled = enabled;
    calls.push_back(enabled ? "stop on" : "stop off");
}

void RecordingView::RefreshFileList() {
    calls.push_back("refresh");
    lines.clear();
    for (TListe_File& entry : files_) {
        lines.push_back(entry.FullName + "|0");
        DeriveEntryNames(entry);
    }
    selected = files_.empty() ? -1 : 0;
}

void RecordingView::SelectLine(int32_t index) {
    selected = index;
    calls.push_back("select " + std::to_string(index));
}

void RecordingView::SetLineText(int32_t index, const std::string& text) {
    calls.push_back("line " + std::to_string(index) + " " + text);
    if (index >= 0 && static_cast<std::size_t>(index) < lines.size()) lines[index] = text;
}

void RecordingView::ClearPicture() { calls.push_back("clear picture"); }

void RecordingView::ShowImage(const TJPEGImage& image) {
    calls.push_back("show " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()));
}

void RecordingView::LoadPicture(const std::string& path) {
    PictureKindOf(path);  // an unknown extension fails as the picture control's load does
    calls.push_back("picture " + path);
}

void RecordingView::ProcessPendingEvents() {
    calls.push_back("events");
    if (on_events) on_events(handlings_);
    ++handlings_;
}

void RecordingView::SetMeasureText(MeasureLabel label, const std::string& text) {
    static const char* const kNames[] = {"width",     "height",     "size",
                                         "width new", "height new", "size new"};
    measures[static_cast<int>(label)] = text;
    calls.push_back(std::string(kNames[static_cast<int>(label)]) + " = " + text);
}

void RecordingView::SetStatusCaption(const std::string& text) {
    status = text;
    calls.push_back("status " + text);
}

void RecordingView::SetProgressMax(int32_t max) {
    progress_max = max;
    calls.push_back("progress max " + std::to_string(max));
}

void RecordingView::SetProgressValue(int32_t value) {
    progress_value = value;
    calls.push_back("progress " + std::to_string(value));
}

void RecordingView::RepaintProgress() { calls.push_back("repaint progress"); }

void RecordingView::ShowFailureMessage(const std::string& text) {
    failures.push_back(text);
    calls.push_back("failure " + text);
}

}  // namespace pixmora::test
