// The window's typefaces: the designed faces mapped onto fonts a Linux desktop has, sized in
// pixels so that a point size keeps the character height it had at 96 dots per inch.
#pragma once

#include <QFont>

namespace pixmora {

// Character height in pixels of a font of the given point size at 96 dots per inch,
// rounded the usual way (8 pt gives 11 px).
int PointsToPixels(int points);

// Arial and MS Sans Serif: Liberation Sans, metric-compatible with Arial.
QFont ArialFont(int points, bool bold = false);
QFont SansSerifFont(int points, bool bold = false);
// Tahoma: DejaVu Sans, the humanist sans the Linux desktops ship.
QFont TahomaFont(int points, bool bold = false);

}  // namespace pixmora
