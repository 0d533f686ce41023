#include "document/LocaleNumber.h"

#include <QLocale>

#include <cmath>

namespace localenumber {

QChar decimalSeparator()
{
    const QString dp = QLocale().decimalPoint();
    return dp.isEmpty() ? QChar(u'.') : dp.front();
}

std::optional<double> parse(QStringView text, QChar separator)
{
    qsizetype i = 0, n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    while (n > i && text[n - 1] == u' ')
        --n;
    QString plain; // the number in C notation
    plain.reserve(n - i);
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        plain += text[i++];
    int digits = 0;
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= u'0' && c <= u'9') {
            plain += c;
            ++digits;
        } else if (c == separator && !seenSeparator) {
            plain += u'.';
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        plain += u'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            plain += text[i++];
        int expDigits = 0;
        for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i, ++expDigits)
            plain += text[i];
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double v = plain.toDouble(&ok);
    if (!ok && !std::isinf(v))
        return std::nullopt;
    return v;
}

QString formatFixed2(double value, QChar separator)
{
    if (value == 0.0)
        value = 0.0; // no "-0,00"
    QString s;
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        s = QString::number(value, 'f', 2);
    } else {
        s = QString::number(value, 'g', 15).toUpper();
        s.remove(u'+');
        // "1E16" rather than "1E16" with a padded exponent such as "E+016"
        const qsizetype e = s.indexOf(u'E');
        if (e >= 0) {
            qsizetype k = e + 1;
            if (k < s.size() && s[k] == u'-')
                ++k;
            while (k < s.size() - 1 && s[k] == u'0')
                s.remove(k, 1);
        }
    }
    s.replace(u'.', separator);
    return s;
}

} // namespace localenumber
