// The window's side of the preview: the request taken from the chosen line, and the result
// shown whole (picture and six figures together) when it comes back from the preview's
// thread, unless a newer request or Clear list came first.
#include <cstddef>
#include <memory>
#include <utility>

#include <QImage>
#include <QMetaObject>

#include "ui/failure_box.h"
#include "ui/image.h"
#include "ui/panel_fill.h"
#include "ui/pixel_image.h"
#include "ui/uf_main.h"

namespace pixmora {

namespace {

// The box's share of a reduced copy of a width x height picture: never more pixels than it
// paints, in the proportions of the whole picture.
QImage BoxPicture(const TPixelBuffer& picture, int width, int height, const QSize& box) {
    const QImage pixels = ImageOf(picture);
    if (pixels.isNull()) return QImage();
    const QRect fit = FitPicture(width, height, box.width(), box.height());
    if (fit.isEmpty() || (pixels.width() <= fit.width() && pixels.height() <= fit.height()))
        return pixels.copy();
    return pixels.scaled(fit.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The picture box and the six labels of the window.
class WindowPreview : public PreviewView {
public:
    explicit WindowPreview(TF_Main& window) : window_(window) {}

    void ShowPreviewPicture(const TPixelBuffer& picture, int32_t width, int32_t height) override {
        window_.IMG_Source->SetPicture(
            BoxPicture(picture, width, height, window_.IMG_Source->size()));
    }
    void SetMeasureText(MeasureLabel label, const std::string& text) override {
        window_.SetMeasureText(label, text);
    }

private:
    TF_Main& window_;
};

}  // namespace

void TF_Main::RequestPreview(bool report_failure) {
    const int32_t selected = SelectedLine();
    if (selected < 0 || static_cast<std::size_t>(selected) >= Files.size()) {
        ShowBlankPreview();
        return;
    }
    if (Running() && !report_failure) {
        // The run shows its own files from its first one on: the rebuild at its start, or
        // one made during it, previews nothing over them.
        if (preview_worker_) preview_generation_ = preview_worker_->Cancel();
        preview_pending_ = false;
        return;
    }
    if (!preview_worker_) {
        preview_bitmaps_ = std::make_unique<TBitmapFileLoader>(PNL_Img->Color());
        preview_worker_ = std::make_unique<PreviewWorker>(
            *preview_bitmaps_, [this](uint64_t generation, PreviewResult result) {
                preview_arrivals_.Put({generation, std::move(result)});
                preview_events_.Wake();
            });
    }
    PreviewRequest request;
    request.full_name = Files[static_cast<std::size_t>(selected)].FullName;
    request.ratio = RatioInteger();
    request.data_dir = DataDir;
    request.box_width = IMG_Source->width();
    request.box_height = IMG_Source->height();
    preview_generation_ = preview_worker_->Request(std::move(request));
    preview_pending_ = true;
    preview_reports_ = report_failure;
}

void TF_Main::ShowBlankPreview() {
    if (preview_worker_) preview_generation_ = preview_worker_->Cancel();
    preview_pending_ = false;
    // A picture the run has yet to paint is not painted either.
    ClearPicture();
    WindowPreview view(*this);
    ShowPreview(BlankPreview(), view);
}

void TF_Main::PreviewArrived(uint64_t generation, const PreviewResult& result) {
    if (!preview_pending_ || generation != preview_generation_) return;
    preview_pending_ = false;
    WindowPreview view(*this);
    if (preview_reports_) {
        RunGuarded(this, [&] { ShowPreview(result, view); });
        return;
    }
    try {
        ShowPreview(result, view);
    } catch (...) {
        // A rebuild's preview keeps its failure; the picture and figures stand.
    }
}

}  // namespace pixmora
