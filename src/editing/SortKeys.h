#pragma once

#include <QCollator>
#include <QString>

#include <string_view>

// The text comparison behind every column sort: the letters a to z count as A to Z, then the
// default locale's linguistic, case-significant collation decides.
//   CompareSortKeys("Rahmen", "RAHMEN") => 0
//   CompareSortKeys("\xd6lfilter", "\xf6lfilter") => +1 or -1, never 0 ("Ölfilter", "ölfilter")
//   CompareSortKeys("Achse", "B\xfcgel") => -1
namespace editing {

// Compares two Windows-1252 texts; returns -1, 0 or +1.
int CompareSortKeys(std::string_view a, std::string_view b);

// The text the collation sees: the bytes decoded, with only a to z replaced by A to Z.
//   "Bügel-ß" => u"BüGEL-ß"
QString sortText(std::string_view bytes);

// A collator for the current default locale (QLocale()), set up for the sort: case-significant,
// no numeric mode, punctuation significant. It is made anew when the default locale changes.
const QCollator &sortCollator();

} // namespace editing
