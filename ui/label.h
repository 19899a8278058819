// A text label: transparent or on its own colour, with the alignment of the window design,
// optionally widening itself to its text whenever the text changes.
#pragma once

#include <QColor>
#include <QLabel>

namespace pixmora {

class TLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLabel(const QString& text, QWidget* parent = nullptr);

    // Paints the label's rectangle in `color` under the text.
    void SetOpaque(const QColor& color);
    // Later text writes resize the label to its text, its top-left corner kept.
    void SetAutoSize(bool auto_size) { auto_size_ = auto_size; }

    void SetCaption(const QString& text);

private:
    bool auto_size_ = false;
};

}  // namespace pixmora
