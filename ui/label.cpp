// Text labels.
#include "ui/label.h"

#include <cmath>

#include <QFontMetricsF>

namespace pixmora {

TLabel::TLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(false);
    setTextFormat(Qt::PlainText);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
}

void TLabel::SetOpaque(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    setAutoFillBackground(true);
}

void TLabel::SetCaption(const QString& text) {
    setText(text);
    if (auto_size_) {
        const int width =
            static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text)));
        resize(width + 1, height());
    }
}

}  // namespace pixmora
