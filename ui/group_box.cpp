// Group frames.
#include "ui/group_box.h"

#include <QPainter>

namespace pixmora {

TGroupBox::TGroupBox(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {}

void TGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int text_width = metrics.horizontalAdvance(caption_);
    const int line_y = metrics.height() / 2;
    const int gap_left = (width() - text_width) / 2 - 3;
    const int gap_right = gap_left + text_width + 6;
    const QRect frame(0, line_y, width() - 2, height() - line_y - 2);

    // An etched frame: a grey line with a white one beside it, broken for the caption.
    for (int pass = 0; pass < 2; ++pass) {
        painter.setPen(pass == 0 ? QColor(128, 128, 128) : Qt::white);
        const QRect f = frame.translated(pass, pass);
        painter.drawLine(f.left(), f.top(), gap_left, f.top());
        painter.drawLine(gap_right, f.top(), f.right(), f.top());
        painter.drawLine(f.topLeft(), f.bottomLeft());
        painter.drawLine(f.topRight(), f.bottomRight());
        painter.drawLine(f.bottomLeft(), f.bottomRight());
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, width(), metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                     caption_);
}

}  // namespace pixmora
