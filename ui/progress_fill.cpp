// The progress bar.
#include "ui/progress_fill.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <QLinearGradient>
#include <QPainter>

namespace pixmora {

namespace {

// num / den rounded to the nearest integer, halves to the even one (den > 0, num >= 0).
int64_t RoundHalfEven(int64_t num, int64_t den) {
    int64_t quotient = num / den;
    const int64_t twice_rest = 2 * (num % den);
    if (twice_rest > den || (twice_rest == den && quotient % 2 != 0)) ++quotient;
    return quotient;
}

}  // namespace

TProgressFill::TProgressFill(QWidget* parent) : QWidget(parent) {}

void TProgressFill::SetMaxValue(int value) {
    if (value == max_ || value == min_) return;
    const int old_min = min_;
    min_ = std::min(value, old_min);
    max_ = std::max(value, old_min);
    if (user_ < min_ || user_ > max_) user_ = max_;
    UpdatePosition();
}

void TProgressFill::SetUserValue(int value) {
    if (value == user_) return;
    user_ = std::clamp(value, min_, max_);
    UpdatePosition();
}

void TProgressFill::UpdatePosition() {
    const int64_t span = static_cast<int64_t>(max_) - min_;
    int64_t percent = 0;
    if (span > 0) percent = RoundHalfEven((static_cast<int64_t>(user_) - min_) * 100, span);
    position_ = static_cast<int>(std::clamp<int64_t>(percent, 0, 100));
    if (std::abs(position_ - painted_position_) >= delta_ || position_ == 0 || position_ == 100) {
        update();
    }
}

void TProgressFill::Refresh() { repaint(); }

QString TProgressFill::Text() const { return QString::asprintf("%d%%", position_); }

void TProgressFill::paintEvent(QPaintEvent*) {
    painted_position_ = position_;
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, QColor(192, 192, 192));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(outer.adjusted(0, 0, -1, -1));

    const QRect inner = outer.adjusted(1, 1, -1, -1);
    const int filled = std::min(inner.width(), static_cast<int>(position_ * 0.01 * inner.width()));
    if (filled > 0) {
        QLinearGradient gradient(inner.left(), 0, inner.left() + filled, 0);
        gradient.setColorAt(0, Qt::white);
        gradient.setColorAt(1, Qt::blue);
        painter.fillRect(QRect(inner.left(), inner.top(), filled, inner.height()), gradient);
    }
    painter.setFont(font());
    painter.setPen(Qt::black);
    painter.drawText(outer, Qt::AlignCenter, Text());
}

}  // namespace pixmora
