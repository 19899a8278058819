// The window's pictures: vector drawings rendered at the size the layout needs, and the two
// list marks as small bitmaps on their key colour.
#include "ui/artwork.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

// Resources compiled into a static library must be registered by hand.
static void RegisterImages() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    (void)registered;
}

namespace pixmora {

namespace {

QPixmap RenderSvg(const QString& name, int width, int height) {
    RegisterImages();
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(width, height) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/images/") + name);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, width, height));
    return pixmap;
}

QImage LoadBitmap(const QString& name) {
    RegisterImages();
    return QImage(QStringLiteral(":/images/") + name);
}

}  // namespace

QPixmap FolderImage() { return RenderSvg("folder.svg", 14, 12); }
QPixmap TickImage() { return RenderSvg("tick.svg", 32, 32); }
QPixmap CrossImage() { return RenderSvg("cross.svg", 32, 32); }
QPixmap WasteBinImage() { return RenderSvg("waste_bin.svg", 24, 24); }
QPixmap DropImage() { return RenderSvg("drop.svg", 170, 106); }
QPixmap DonateImage() { return RenderSvg("donate.svg", 77, 35); }

QImage FrowningFaceBitmap() { return LoadBitmap("face_frowning.xpm"); }
QImage SmilingFaceBitmap() { return LoadBitmap("face_smiling.xpm"); }

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        RegisterImages();
        QSvgRenderer renderer(QStringLiteral(":/images/app_icon.svg"));
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace pixmora
