// Readable failure messages for the Qt values the widget tests compare.
#pragma once

#include <ostream>

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << " x " << s.height(); }
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name().toStdString(); }
