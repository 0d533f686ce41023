#pragma once

#include "print/PrintFont.h"

#include <QColor>
#include <QFont>

// Conversions between the stored print font and Qt's font and colour types.
namespace printfontqt {

// The font to paint with: face, size in points, style and pitch. The character set has no
// counterpart in Qt (texts are Unicode by then) and the pixel height yields to the size.
QFont toQFont(const PrintFont &font);

// The colour of a colour number: a plain colour red + 256 × green + 65536 × blue, or a system colour
// index with the highest bit set, taken from the standard Windows scheme.
//   toQColor(255) => red,  toQColor(0x00FF00) => green,  toQColor(-2147483640) => black (window text)
QColor toQColor(std::int32_t color);

// The print font after a font dialog chose `chosen`: face, size, style and pitch come from the dialog,
// colour and character set stay those of `previous`; the pixel height follows the size at 96 dpi.
//   11 pt => height -15,  8 pt => height -11
PrintFont fromQFont(const QFont &chosen, const PrintFont &previous);

// The character height in screen pixels of a size in points at 96 pixels per inch, rounded.
int heightForSize(int points);

} // namespace printfontqt
