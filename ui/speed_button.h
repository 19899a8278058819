// A flat button: an image with its caption 2 px to its right, the pair centred on the
// button, a face colour that changes while the mouse is over it. Never takes the focus.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace pixmora {

class TSpeedButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit TSpeedButton(QWidget* parent = nullptr);

    void SetImage(const QPixmap& image);
    // No face colour: the parent shows through.
    void SetFaceColor(const QColor& color) { face_ = color, update(); }
    void SetHoverColor(const QColor& color) { hover_ = color, update(); }
    void SetCaptionColor(const QColor& color) { caption_color_ = color, update(); }
    // The caption's colour while the mouse is over the button (the caption colour unless set).
    void SetHoverCaptionColor(const QColor& color) { hover_caption_color_ = color, update(); }
    // Corners rounded by this share of the button's height, in percent: 50 makes round ends.
    void SetRounding(int percent) { rounding_ = percent, update(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap image_;
    QColor face_;
    QColor hover_ = QColor(230, 240, 255);
    QColor caption_color_ = Qt::black;
    QColor hover_caption_color_;
    int rounding_ = 0;
    bool hovered_ = false;
};

}  // namespace pixmora
