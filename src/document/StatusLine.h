#pragma once

#include "document/ListEntry.h"

#include <QChar>
#include <QString>

#include <vector>

// The status line about the defect list: its count and the total price.
namespace statusline {

// The text between the count and the price part; the open form carries one more blank.
enum class CountPhrase { Closed, Open };

QString countPhraseText(CountPhrase form);

// The total: the sum of quantity (the caption read as a number, else 1) times price (sub-item 2
// split at its last blank into number and currency, else 0 with the currency " EUR"), in fixed
// point with two decimals, followed by the currency of the last entry.
//   no entries => "0,00";  entries without sub-item 2 => "0,00 EUR"
QString totalPrice(const std::vector<ListEntry> &defects, QChar separator);

// "<count><phrase>; Gesamtpreis: <total>"
QString text(std::size_t count, CountPhrase form, const QString &total);

} // namespace statusline
