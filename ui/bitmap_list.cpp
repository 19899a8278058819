// Keyed image lists.
#include "ui/bitmap_list.h"

#include <QBitmap>
#include <QPainter>

namespace pixmora {

void TBitmapList::Add(const QImage& image) {
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(key_, Qt::MaskInColor));
    images_.push_back(pixmap);
}

QPixmap TBitmapList::Image(int index) const {
    if (index < 0 || index >= Count()) return QPixmap();
    return images_[static_cast<size_t>(index)];
}

void TBitmapList::Draw(QPainter& painter, int x, int y, int index) const {
    if (index < 0 || index >= Count()) return;
    painter.drawPixmap(x, y, images_[static_cast<size_t>(index)]);
}

}  // namespace pixmora
