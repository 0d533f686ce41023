#pragma once

#include <QColor>

// Contrast of colours as the accessibility guidelines reckon it, and the colours the program picks
// for what must stand out.
namespace contrast {

// Relative luminance, 0 (black) to 1 (white), of the sRGB colour.
double luminance(const QColor &color);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ratio(const QColor &a, const QColor &b);
// Black or white, whichever stands out more against background (never below 4.58:1).
QColor outlineAgainst(const QColor &background);

// The selection of the list that has the focus: white text on a dark blue.
inline const QColor kFocusedSelection{0x1f, 0x5f, 0x9e};
inline const QColor kFocusedSelectionText{Qt::white};
// The selection of the other lists: black text on a mid grey, plainly apart from the blue.
inline const QColor kSelection{0x8c, 0x8c, 0x8c};
inline const QColor kSelectionText{Qt::black};

} // namespace contrast
