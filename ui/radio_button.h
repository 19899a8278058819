// A radio button with a flat mark, whose click event is also raised when the program selects it, so
// that the window reacts the same way to a stored choice and to the user's.
#pragma once

#include <QRadioButton>

namespace pixmora {

class TRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TRadioButton(const QString& text, QWidget* parent = nullptr);

    bool Checked() const { return isChecked(); }
    // Selecting a button that was not selected deselects its siblings and raises Click;
    // writing false, or the value it already has, raises nothing.
    void SetChecked(bool checked);

    QSize sizeHint() const override;

signals:
    // The user clicked the button (selected already or not), or the program selected it.
    void Click();

protected:
    void focusInEvent(QFocusEvent* event) override;
    // A flat mark with the text beside it, the same on every desktop style.
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace pixmora
