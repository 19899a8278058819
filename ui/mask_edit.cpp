// The integer box and its typing rules.
#include "ui/mask_edit.h"

#include <charconv>
#include <string>

#include <QKeyEvent>

namespace pixmora {

int32_t IntegerBoxValue(const QString& text) {
    if (text.isEmpty()) return 0;
    const std::string bytes = text.toStdString();
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') ++first;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setFocusPolicy(Qt::StrongFocus);
}

void TMaskEdit::SetText(const QString& text) {
    setText(text);
    deselect();
    setCursorPosition(0);
}

void TMaskEdit::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !ctrl) {
        // Enter moves on to the next box, like Tab.
        focusNextChild();
        event->accept();
        return;
    }
    const QString typed = event->text();
    const bool printable = typed.size() == 1 && typed[0].isPrint();
    if (!printable || ctrl || (event->modifiers() & Qt::AltModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    TypeCharacter(typed[0]);
    event->accept();
}

void TMaskEdit::TypeCharacter(QChar c) {
    QString value = text();
    int caret = cursorPosition();
    if (!hasSelectedText() && IntegerBoxValue(value) == 0) {
        // A box reading 0 gives its first digit up to what is typed, so that 5 typed over
        // 0 reads 5 rather than 05.
        const int first_digit = value.startsWith(QLatin1Char('-')) ? 1 : 0;
        if (first_digit < value.size()) {
            value.remove(first_digit, 1);
            if (caret > first_digit) --caret;
            setText(value);
            setCursorPosition(caret);
        }
    }
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
        if (!hasSelectedText() && caret < value.size() && value[caret] == QLatin1Char('-')) {
            return;
        }
        insert(QString(c));
    } else if (c == QLatin1Char('-')) {
        if (hasSelectedText()) {
            insert(QStringLiteral("-"));
        } else if (value.startsWith(QLatin1Char('-'))) {
            value.remove(0, 1);
            setText(value);
            setCursorPosition(caret > 0 ? caret - 1 : 0);
        } else {
            setText(QLatin1Char('-') + value);
            setCursorPosition(caret + 1);
        }
    }
    // Anything else printable is refused.
}

}  // namespace pixmora
