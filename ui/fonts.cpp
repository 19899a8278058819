// The window's typefaces.
#include "ui/fonts.h"

#include <QStringList>

namespace pixmora {

namespace {

QFont MakeFont(const QStringList& families, int points, bool bold) {
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PointsToPixels(points));
    font.setBold(bold);
    return font;
}

}  // namespace

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }

QFont ArialFont(int points, bool bold) {
    return MakeFont({"Liberation Sans", "Arial", "Arimo", "Helvetica"}, points, bold);
}

QFont SansSerifFont(int points, bool bold) { return ArialFont(points, bold); }

QFont TahomaFont(int points, bool bold) {
    return MakeFont({"DejaVu Sans", "Tahoma", "Liberation Sans"}, points, bold);
}

}  // namespace pixmora
