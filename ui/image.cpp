// Picture boxes.
#include "ui/image.h"

#include <QPainter>

#include "engine/resample/box_fit.h"

namespace pixmora {

QRect FitPicture(int w, int h, int cw, int ch) {
    const BoxFit fit = FitInBox(w, h, cw, ch);
    return QRect(fit.left, fit.top, fit.width, fit.height);
}

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

QRect TImage::PictureRect() const {
    if (picture_.isNull()) return QRect();
    if (scaling_ == Scaling::kStretch) return rect();
    if (scaling_ == Scaling::kCentred) {
        QRect centred(QPoint(), picture_.deviceIndependentSize().toSize());
        centred.moveCenter(rect().center());
        return centred;
    }
    return FitPicture(picture_.width(), picture_.height(), width(), height());
}

void TImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(PictureRect(), picture_);
}

}  // namespace pixmora
