// A group frame with its caption at the top centre; the children sit on the parent's fill.
#pragma once

#include <QWidget>

namespace pixmora {

class TGroupBox : public QWidget {
    Q_OBJECT
public:
    TGroupBox(const QString& caption, QWidget* parent = nullptr);

    QString Caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

}  // namespace pixmora
