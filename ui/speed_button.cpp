// Flat buttons.
#include "ui/speed_button.h"

#include <algorithm>

#include <QPainter>

namespace pixmora {

namespace {
constexpr int kImageTextGap = 2;
}

TSpeedButton::TSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TSpeedButton::SetImage(const QPixmap& image) {
    image_ = image;
    update();
}

QSize TSpeedButton::sizeHint() const {
    QString caption = text();
    caption.remove(QLatin1Char('\r'));
    const QSize text_size = caption.isEmpty() ? QSize() : fontMetrics().size(0, caption);
    const QSize image_size = image_.deviceIndependentSize().toSize();
    const int w = image_size.width() + (caption.isEmpty() ? 0 : kImageTextGap + text_size.width());
    return QSize(w + 8, std::max(image_size.height(), text_size.height()) + 4);
}

void TSpeedButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TSpeedButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void TSpeedButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    const bool active = isEnabled() && hovered_;
    const QColor fill = active && hover_.isValid() ? hover_ : face_;
    if (rounding_ > 0) {
        const qreal radius = r.height() * rounding_ / 100.0;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        if (fill.isValid()) painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
        painter.setRenderHint(QPainter::Antialiasing, false);
    } else if (fill.isValid()) {
        painter.fillRect(r, fill);
    }
    if (rounding_ == 0 && isEnabled() && (isDown() || active)) {
        // A flat button shows its edge only while it is pointed at or pressed.
        painter.setPen(isDown() ? QColor(80, 80, 80) : QColor(160, 160, 160));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }

    // A caption written with Windows line ends ("Clear\r\nlist") breaks at the "\n".
    QString caption = text();
    caption.remove(QLatin1Char('\r'));
    const QSize text_size = caption.isEmpty() ? QSize() : fontMetrics().size(0, caption);
    const int gap = (image_.isNull() || caption.isEmpty()) ? 0 : kImageTextGap;
    const int image_width = image_.isNull() ? 0 : image_.deviceIndependentSize().toSize().width();
    const int pair_width = image_width + gap + text_size.width();
    const int shift = isDown() ? 1 : 0;
    int x = (r.width() - pair_width) / 2 + shift;
    if (!image_.isNull()) {
        const QSize image_size = image_.deviceIndependentSize().toSize();
        const int y = (r.height() - image_size.height()) / 2 + shift;
        if (isEnabled()) {
            painter.drawPixmap(x, y, image_);
        } else {
            painter.setOpacity(0.35);
            painter.drawPixmap(x, y, image_);
            painter.setOpacity(1.0);
        }
        x += image_size.width() + gap;
    }
    if (!caption.isEmpty()) {
        painter.setFont(font());
        const QColor caption_color =
            active && hover_caption_color_.isValid() ? hover_caption_color_ : caption_color_;
        painter.setPen(isEnabled() ? caption_color : QColor(128, 128, 128));
        const QRect text_rect(x, (r.height() - text_size.height()) / 2 + shift, text_size.width(),
                              text_size.height());
        painter.drawText(text_rect, Qt::AlignCenter, caption);
    }
}

}  // namespace pixmora
