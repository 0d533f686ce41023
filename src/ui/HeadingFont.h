#pragma once

#include <QFont>
#include <QStringList>

// The heavy face of the caption strips and the settings page's title.
namespace headingfont {

// The faces in the order they are preferred: a heavy one where the system has it, else the
// metric twin of the common sans face, else the sans face every system here has.
QStringList preferredFamilies();

// The families of `families` the font database has, in their order (all of them if it has none).
// Asking for a missing family first makes Qt sort every installed font for a substitute before it
// tries the next family of the list; leaving it out gives the same face without that search.
QStringList installed(const QStringList &families);

// The heading font at `pixelSize` pixels.
QFont make(int pixelSize);

} // namespace headingfont
