// The percent progress bar: a range, a value in it, and the share of the range reached,
// drawn as a gradient bar growing from the left with its percentage centred over it.
#pragma once

#include <QWidget>

namespace pixmora {

class TProgressFill : public QWidget {
    Q_OBJECT
public:
    explicit TProgressFill(QWidget* parent = nullptr);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int UserValue() const { return user_; }
    // Percentage of the range reached, 0 to 100.
    int Position() const { return position_; }
    int Delta() const { return delta_; }

    // Ignored when `value` is the current maximum or minimum; otherwise the range runs
    // between `value` and the old minimum, and a value outside it becomes the maximum.
    void SetMaxValue(int value);
    // Clamped into the range; the position follows, rounded half to even.
    void SetUserValue(int value);
    // Repaints at once.
    void Refresh();

    QString Text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdatePosition();

    int min_ = 0;
    int max_ = 100;
    int user_ = 0;
    int position_ = 0;
    int painted_position_ = 0;
    int delta_ = 1;
};

}  // namespace pixmora
