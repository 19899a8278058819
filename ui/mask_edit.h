// The integer box: a flat one-line box that takes whole numbers only and reads its text as a
// 32-bit integer.
#pragma once

#include <cstdint>

#include <QLineEdit>

namespace pixmora {

// The text as a whole number: empty gives 0; otherwise a signed decimal 64-bit number of
// which the low 32 bits are kept; text that is no such number gives 0.
int32_t IntegerBoxValue(const QString& text);

class TMaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent = nullptr);

    int32_t AsInteger() const { return IntegerBoxValue(text()); }

    QString Text() const { return text(); }
    // Stores the text unchanged, caret at the start, nothing selected.
    void SetText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TypeCharacter(QChar c);
};

}  // namespace pixmora
