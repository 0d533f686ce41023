#pragma once

#include <QString>

#include <functional>
#include <vector>

// Breaking a defect name into the lines of its printed row.
namespace namewrap {

// Measures the printed width of a text.
using Measure = std::function<int(const QString &)>;

// The lines of a name: CR LF, a lone LF and a lone CR each start a new line. A name without a line
// break is one line, the empty name one empty line.
//   "Riss\r\nim Putz" => {"Riss", "im Putz"},  "" => {""}
std::vector<QString> splitLines(const QString &name);

// Wraps one line of a name to the given width: as many words as fit stand on a line, the line
// breaks at the blank after them, and a word is broken only where it alone is wider than the width
// (at least one character stands on every line). Blanks at a break are dropped; blanks between
// words on a line stay. A line that fits is returned unchanged.
//   with one unit per character, width 10:
//   "Riss im Putz der Fassade" => {"Riss im", "Putz der", "Fassade"}
//   "ab Dachrinnenhalter cd"   => {"ab", "Dachrinnen", "halter cd"}
std::vector<QString> wrapLine(const QString &line, int width, const Measure &measure);

} // namespace namewrap
