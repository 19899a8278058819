// What the batch run and the preview show on the main window and read from it.
#include <QApplication>
#include <QImage>

#include "collect/file_list.h"
#include "engine/codec/jpeg_image.h"
#include "engine/codec/picture_kind.h"
#include "engine/codec/picture_to_cover.h"
#include "ui/browse_edit.h"
#include "ui/failure_box.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/native_text.h"
#include "ui/panel_fill.h"
#include "ui/progress_fill.h"
#include "ui/radio_button.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora {

namespace {

// A view of the picture's pixels, valid while the buffer lives.
QImage ImageOf(const TPixelBuffer& picture) {
    if (picture.Empty()) return QImage();
    return QImage(picture.Row(0), picture.Width(), picture.Height(),
                  static_cast<qsizetype>(picture.Stride()), QImage::Format_RGB888);
}

// The picture box's share of a w x h picture: never more pixels than it paints.
QImage ForBox(const QImage& picture, const QSize& box) {
    const QRect fit = FitPicture(picture.width(), picture.height(), box.width(), box.height());
    if (fit.isEmpty() || (picture.width() <= fit.width() && picture.height() <= fit.height()))
        return picture.copy();
    return picture.scaled(fit.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The file's picture reduced for the box, from the smallest decode that covers the box.
QImage JpegForBox(const TJPEGImage& image, const QSize& box) {
    const QRect fit = FitPicture(image.Width(), image.Height(), box.width(), box.height());
    return ForBox(ImageOf(DecodeToCover(image, fit.width(), fit.height())), box);
}

}  // namespace

void TF_Main::SetStartEnabled(bool enabled) { BTN_Start->setEnabled(enabled); }
void TF_Main::SetStopEnabled(bool enabled) { BTN_Stop->setEnabled(enabled); }

void TF_Main::RefreshFileList() { pixmora::RefreshFileList(Files, *this); }

void TF_Main::SelectLine(int32_t index) { LBX_File->SetItemIndex(index); }

void TF_Main::SetLineText(int32_t index, const std::string& text) {
    LBX_File->ReplaceItem(index, FromNative(text));
}

int32_t TF_Main::SelectedLine() const { return LBX_File->ItemIndex(); }

void TF_Main::ClearPicture() {
    picture_pending_ = false;
    shown_image_ = TJPEGImage();
    // During a run the last picture stays up until the next one is ready, so the box
    // does not go blank for the whole decode of every file.
    if (!running_) IMG_Source->Clear();
}

void TF_Main::ShowImage(const TJPEGImage& image) {
    // Painted from the run's own decode once the file is resized (ShowResizedImage).
    shown_image_ = image;
    picture_pending_ = true;
    if (!running_) SettlePendingPicture(nullptr);
}

void TF_Main::ShowResizedImage(const TJPEGImage& image) { SettlePendingPicture(&image); }

void TF_Main::SettlePendingPicture(const TJPEGImage* resized) {
    if (!picture_pending_) return;
    picture_pending_ = false;
    const QSize box = IMG_Source->size();
    const QRect fit =
        FitPicture(shown_image_.Width(), shown_image_.Height(), box.width(), box.height());
    QImage picture;
    try {
        if (resized && !resized->Picture().Empty() && resized->Width() >= fit.width() &&
            resized->Height() >= fit.height()) {
            picture = ForBox(ImageOf(resized->Picture()), box);
        } else {
            picture = JpegForBox(shown_image_, box);
        }
    } catch (...) {
        // A file whose picture cannot be decoded is reported by the run; the box stays empty.
    }
    shown_image_ = TJPEGImage();
    IMG_Source->SetPicture(picture);
    // Painted now: the run lets events through only once per file, before this point.
    if (running_ && IMG_Source->isVisible()) IMG_Source->repaint();
}

void TF_Main::LoadPicture(const std::string& path) {
    picture_pending_ = false;
    const QSize box = IMG_Source->size();
    switch (PictureKindOf(path)) {
        case PictureKind::Jpeg: {
            TJPEGImage image;
            image.LoadFromFile(path);
            IMG_Source->SetPicture(JpegForBox(image, box));
            break;
        }
        case PictureKind::Bitmap:
        case PictureKind::Icon: {
            QImage picture;
            if (!picture.load(FromNative(path))) throw EInvalidGraphic("Image bitmap incorrecte");
            IMG_Source->SetPicture(ForBox(picture, box));
            break;
        }
        case PictureKind::Metafile:
            // Qt has no metafile reader: such a file counts as a picture of unknown kind.
            throw UnknownPictureKind(path);
    }
}

void TF_Main::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void TF_Main::SetMeasureText(MeasureLabel label, const std::string& text) {
    TLabel* target = nullptr;
    switch (label) {
        case MeasureLabel::Width:
            target = LBL_Width;
            break;
        case MeasureLabel::Height:
            target = LBL_Height;
            break;
        case MeasureLabel::Size:
            target = LBL_Size;
            break;
        case MeasureLabel::WidthNew:
            target = LBL_Width_New;
            break;
        case MeasureLabel::HeightNew:
            target = LBL_Height_New;
            break;
        case MeasureLabel::SizeNew:
            target = LBL_Size_New;
            break;
    }
    target->SetCaption(QString::fromStdString(text));
}

void TF_Main::SetStatusCaption(const std::string& text) {
    PNL_Process->SetCaption(QString::fromStdString(text));
}

void TF_Main::SetProgressMax(int32_t max) { PGB_Progression->SetMaxValue(max); }
void TF_Main::SetProgressValue(int32_t value) { PGB_Progression->SetUserValue(value); }
void TF_Main::RepaintProgress() { PGB_Progression->Refresh(); }

void TF_Main::ShowFailureMessage(const std::string& text) {
    SettlePendingPicture(nullptr);
    ShowErrorBox(this, text);
}

int32_t TF_Main::RatioInteger() const { return EDT_Ratio->AsInteger(); }
bool TF_Main::FixedFolderMode() const { return RDB_Fix_Folder->Checked(); }
std::string TF_Main::FixedFolder() const { return ToNative(DED_Dest_Folder->Path()); }

}  // namespace pixmora
