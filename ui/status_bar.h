// The status bar: one panel across the whole bar with its text centred.
#pragma once

#include <QString>
#include <QWidget>

namespace pixmora {

class TStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);

    QString PanelText() const { return text_; }
    void SetPanelText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace pixmora
