#pragma once

#include "document/PrintFont.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The text forms of stored values: how each kind of value is written and read back.
namespace settingstext {

// Strips leading and trailing blanks and control characters (every character up to U+0020).
//   " \tArial \r" => "Arial"
QString trimmed(QStringView text);

// A decimal integer with an optional sign and optional blanks around it, in the 32-bit range.
//   "145" => 145,  " -15 " => -15,  "abc" => none,  "12.5" => none,  "" => none,  "2147483648" => none
std::optional<int> parseInt(QStringView text);

// Decimal; negative numbers with a leading minus sign.  -2147483640 => "-2147483640"
QString formatInt(qint64 value);

// General format with a full stop as decimal mark whatever the locale; whole numbers have no decimals.
//   15 => "15",  12.5 => "12.5",  0.1 => "0.1",  1e20 => "1E20",  0.00001 => "1E-5"
QString formatMargin(double value);

// Turns the full stop into `decimalMark`, then reads the number in that notation.
//   ("12.5", ',') => 12.5,  ("12,5", ',') => 12.5,  ("abc", ',') => none,  ("1.5", '.') => 1.5
std::optional<double> parseMargin(QStringView text, QChar decimalMark);

// The value a margin spin edit takes: the nearest whole number (halves to the even one) within 0 to 50.
//   12.5 => 12,  13.5 => 14,  80 => 50,  -3 => 0
double spinEditValue(double value);

// "fpDefault", "fpVariable", "fpFixed".
QString formatPitch(FontPitch pitch);
// Matched without regard to case.  "FPFIXED" => Fixed,  "fpWide" => none
std::optional<FontPitch> parsePitch(QStringView text);

// "[" + the set styles in the order fsBold, fsItalic, fsUnderline, fsStrikeOut joined by "," + "]".
//   bold and italic => "[fsBold,fsItalic]",  none => "[]"
QString formatStyle(const FontStyle &style);
// Splits at blanks, commas, "[" and "]"; recognised names (any case) set their style, other words are
// skipped, and the result replaces all four styles.
//   "[fsBold, fsUnderline]" => bold underline,  "[fsFat]" => none,  "" => none
void parseStyle(QStringView text, FontStyle &style);

// The words of a placement text, separated by runs of commas and blanks.
//   "223,115, 1222 ,,704" => {"223", "115", "1222", "704"}
QStringList words(QStringView text);

} // namespace settingstext
