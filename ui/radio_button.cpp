// Radio buttons.
#include "ui/radio_button.h"

#include <algorithm>

#include <QFocusEvent>
#include <QPainter>

namespace pixmora {

namespace {
constexpr int kMarkSize = 13;
constexpr int kTextLeft = kMarkSize + 4;
}  // namespace

TRadioButton::TRadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setFocusPolicy(Qt::ClickFocus);
    setAutoExclusive(true);
    connect(this, &QAbstractButton::clicked, this, &TRadioButton::Click);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == isChecked()) return;
    setChecked(checked);
    if (checked) emit Click();
}

void TRadioButton::focusInEvent(QFocusEvent* event) {
    QRadioButton::focusInEvent(event);
    // A button reached by the keyboard becomes the choice, as with any radio group.
    if (!isChecked() && event->reason() != Qt::MouseFocusReason) SetChecked(true);
}

QSize TRadioButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(kTextLeft + metrics.horizontalAdvance(text()),
                 std::max(kMarkSize, metrics.height()));
}

bool TRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void TRadioButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF mark(0.5, (height() - kMarkSize) / 2 + 0.5, kMarkSize - 1, kMarkSize - 1);
    painter.setPen(isEnabled() ? QColor(64, 64, 64) : QColor(160, 160, 160));
    painter.setBrush(isDown() ? QColor(220, 220, 220) : QColor(Qt::white));
    painter.drawEllipse(mark);
    if (isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? QColor(Qt::black) : QColor(160, 160, 160));
        painter.drawEllipse(mark.center(), 2.5, 2.5);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(isEnabled() ? QColor(Qt::black) : QColor(128, 128, 128));
    painter.setFont(font());
    painter.drawText(QRect(kTextLeft, 0, width() - kTextLeft, height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
    if (hasFocus()) {
        painter.setPen(QPen(QColor(96, 96, 96), 1, Qt::DotLine));
        const int text_width = fontMetrics().horizontalAdvance(text());
        painter.drawRect(kTextLeft - 1, 1, std::min(text_width + 2, width() - kTextLeft),
                         height() - 3);
    }
}

}  // namespace pixmora
