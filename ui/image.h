// A picture box: shows one picture stretched over the whole box, centred at its own size, or
// fitted into it with its proportions kept, centred.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

namespace pixmora {

// Where a w x h picture is drawn when fitted into a cw x ch box, proportions kept (it is
// enlarged too), centred.
QRect FitPicture(int w, int h, int cw, int ch);

class TImage : public QWidget {
    Q_OBJECT
public:
    enum class Scaling { kStretch, kProportional, kCentred };

    explicit TImage(QWidget* parent = nullptr);

    void SetScaling(Scaling scaling) { scaling_ = scaling, update(); }
    // A null picture clears the box.
    void SetPicture(const QImage& picture);
    void Clear() { SetPicture(QImage()); }
    const QImage& Picture() const { return picture_; }
    // Where the picture is drawn in the box; empty when there is none.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    Scaling scaling_ = Scaling::kProportional;
};

}  // namespace pixmora
