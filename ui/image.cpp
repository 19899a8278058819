// Picture boxes.
#include "ui/image.h"

#include <QPainter>

namespace pixmora {

QRect FitPicture(int w, int h, int cw, int ch) {
    if (w <= 0 || h <= 0) return QRect();
    const double aspect = static_cast<double>(w) / h;
    int width, height;
    if (w > h) {
        width = cw;
        height = static_cast<int>(cw / aspect);
        if (height > ch) {
            height = ch;
            width = static_cast<int>(ch * aspect);
        }
    } else {
        height = ch;
        width = static_cast<int>(ch * aspect);
        if (width > cw) {
            width = cw;
            height = static_cast<int>(cw / aspect);
        }
    }
    return QRect((cw - width) / 2, (ch - height) / 2, width, height);
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
