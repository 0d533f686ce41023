#pragma once

#include "document/PrintFont.h"

#include <QColor>
#include <QFont>

// Conversions from the print font to Qt's font and colour types.
namespace printfontqt {

// The font to paint with: face, size in points, style and pitch. The character set has no
// counterpart in Qt (texts are Unicode by then) and the pixel height yields to the size.
QFont toQFont(const PrintFont &font);

// The colour of a colour number: a plain colour red + 256 × green + 65536 × blue, or a system colour
// index with the highest bit set, taken from the standard Windows scheme.
//   toQColor(255) => red,  toQColor(0x00FF00) => green,  toQColor(-2147483640) => black (window text)
QColor toQColor(std::int32_t color);

} // namespace printfontqt
