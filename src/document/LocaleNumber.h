#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>
#include <string_view>

// Numbers as the user reads and writes them: with the decimal separator of the regional settings.
namespace localenumber {

// The decimal separator of the current default locale (',' for German, '.' for English).
QChar decimalSeparator();

// Optional blanks around it, an optional sign, digits with at most one decimal separator and an
// optional exponent; anything else, the empty text included, is not a number, and neither is a
// number beyond the range of a double (one too close to zero reads as 0). One pass over the text,
// which stops at the first character that cannot belong to a number.
//   "2,5" => 2.5 (separator ','),  " -3 " => -3,  "1,5E2" => 150,  "2.5" => none,  "" => none,
//   "1E400" => none,  "1E-400" => 0
std::optional<double> parse(QStringView text, QChar separator);
// The same for a text in Windows-1252 bytes.
std::optional<double> parse(std::string_view cp1252Text, QChar separator);

// Fixed point with two decimals; sums with more than 15 digits before the separator in exponent
// notation.  0 => "0,00",  -12.5 => "-12,50",  1e16 => "1E16"
QString formatFixed2(double value, QChar separator);

} // namespace localenumber
