// The status bar.
#include "ui/status_bar.h"

#include <QPainter>

namespace pixmora {

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {}

void TStatusBar::SetPanelText(const QString& text) {
    text_ = text;
    update();
}

void TStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(192, 192, 192));
    // The panel's sunken edge, inside a 2 px margin at the top as a status bar has.
    const QRect panel = rect().adjusted(0, 2, -1, -1);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(panel.topLeft(), panel.topRight());
    painter.drawLine(panel.topLeft(), panel.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(panel.bottomLeft(), panel.bottomRight());
    painter.drawLine(panel.topRight(), panel.bottomRight());
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(panel, Qt::AlignCenter, text_);
}

}  // namespace pixmora
