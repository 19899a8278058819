// Filled panels.
#include "ui/panel_fill.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace pixmora {

TPanelFill::TPanelFill(QWidget* parent) : QWidget(parent) {}

void TPanelFill::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TPanelFill::MakeCaptionStrip() {
    fill_ = Fill::kPlain;
    color_ = Qt::black;
    edge_ = Edge::kNone;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
}

void TPanelFill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = rect();
    switch (fill_) {
        case Fill::kDiagonal: {
            QLinearGradient gradient(area.topLeft(), area.bottomRight());
            gradient.setColorAt(0, color_);
            gradient.setColorAt(1, QColor(192, 192, 192));
            painter.fillRect(area, gradient);
            break;
        }
        case Fill::kElliptic: {
            QRadialGradient gradient(area.center(), area.width() / 2);
            gradient.setColorAt(0, QColor(128, 128, 128));
            gradient.setColorAt(1, Qt::black);
            // Stretch the circle into the panel's ellipse.
            painter.save();
            painter.translate(area.center());
            painter.scale(1.0, area.height() / qMax(1.0, area.width()));
            painter.translate(-area.center());
            painter.fillRect(QRectF(area.left(), area.center().y() - area.width() / 2, area.width(),
                                    area.width()),
                             gradient);
            painter.restore();
            break;
        }
        case Fill::kPlain:
            painter.fillRect(area, color_);
            break;
    }
    const QRect r = rect().adjusted(0, 0, -1, -1);
    if (edge_ == Edge::kLowered) {
        painter.setPen(edge_color_.darker(140));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(Qt::white);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    } else if (edge_ == Edge::kLine) {
        painter.setPen(edge_color_);
        painter.drawRect(r);
    }
    if (!caption_.isEmpty()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, caption_);
    }
}

}  // namespace pixmora
