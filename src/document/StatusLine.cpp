#include "document/StatusLine.h"

#include "document/Cp1252.h"
#include "document/LocaleNumber.h"

namespace statusline {

QString countPhraseText(CountPhrase form)
{
    return form == CountPhrase::Open ? QStringLiteral(" Mängel auf der Mängelliste ")
                                     : QStringLiteral(" Mängel auf der Mängelliste");
}

QString totalPrice(const std::vector<ListEntry> &defects, QChar separator)
{
    double sum = 0;
    QString currency;
    for (const ListEntry &e : defects) {
        const double quantity = localenumber::parse(e.caption(), separator).value_or(1.0);
        double price = 0;
        bool read = false;
        if (e.subItemCount() > 2) {
            const QString priceText = cp1252::toUnicode(e.subItem(2));
            const qsizetype blank = priceText.lastIndexOf(u' ');
            const QStringView number = blank < 0 ? QStringView(priceText) : QStringView(priceText).left(blank);
            const QStringView suffix = blank < 0 ? QStringView() : QStringView(priceText).mid(blank + 1);
            if (const auto p = localenumber::parse(number, separator)) {
                price = *p;
                currency = suffix.isEmpty() ? QString() : u' ' + suffix.toString();
                read = true;
            }
        }
        if (!read) {
            price = 0;
            currency = QStringLiteral(" EUR");
        }
        sum += quantity * price;
    }
    return localenumber::formatFixed2(sum, separator) + currency;
}

QString text(std::size_t count, CountPhrase form, const QString &total)
{
    return QString::number(count) + countPhraseText(form) + QStringLiteral("; Gesamtpreis: ") + total;
}

} // namespace statusline
