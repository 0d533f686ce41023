#include "document/LocaleNumber.h"

#include "document/Cp1252.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

#include <cmath>

namespace localenumber {

QChar decimalSeparator()
{
    const QString dp = QLocale().decimalPoint();
    return dp.isEmpty() ? QChar(u'.') : dp.front();
}

namespace {

// Significant digits kept for the conversion: enough to round every double correctly, with one
// more that stands for any further non-zero digit.
constexpr std::size_t kKeptDigits = 800;
// Exponents beyond this give zero or no usable number whatever the digits are.
constexpr std::int64_t kExponentCap = 1'000'000'000;

// One pass over the n characters of a text: `text(i)` is the code of character i, `isSeparator(i)`
// tells whether it is the decimal separator. The digits are gathered as 0.<digits> times ten to an
// exponent, so that the conversion works on at most kKeptDigits digits however long the text is.
template <class CharAt, class IsSeparator>
std::optional<double> parseText(std::size_t n, CharAt text, IsSeparator isSeparator)
{
    std::size_t i = 0;
    while (i < n && text(i) == ' ')
        ++i;
    while (n > i && text(n - 1) == ' ')
        --n;
    bool negative = false;
    if (i < n && (text(i) == '+' || text(i) == '-'))
        negative = text(i++) == '-';
    char digits[kKeptDigits + 1];
    std::size_t kept = 0;
    bool sticky = false;        // a non-zero digit beyond the kept ones
    std::int64_t pointAt = 0;   // the exponent of 0.<digits>
    std::size_t digitCount = 0; // every digit of the mantissa, zeros too
    bool seenSeparator = false;
    for (; i < n; ++i) {
        const char32_t c = text(i);
        if (c >= '0' && c <= '9') {
            ++digitCount;
            if (kept == 0 && c == '0') {
                // Leading zeros, in one run; after the separator each lowers the exponent.
                std::size_t end = i + 1;
                while (end < n && text(end) == '0')
                    ++end;
                digitCount += end - i - 1;
                if (seenSeparator)
                    pointAt = std::max(pointAt - std::int64_t(end - i), -kExponentCap);
                i = end - 1;
                continue;
            }
            if (kept < kKeptDigits) {
                digits[kept++] = char(c);
            } else {
                // Digits beyond the kept ones, in one run: they only tell whether one is not zero.
                std::size_t end = i;
                for (; end < n && text(end) >= '0' && text(end) <= '9'; ++end)
                    sticky |= text(end) != '0';
                digitCount += end - i - 1;
                if (!seenSeparator)
                    pointAt = std::min(pointAt + std::int64_t(end - i), kExponentCap);
                i = end - 1;
                continue;
            }
            if (!seenSeparator && pointAt < kExponentCap)
                ++pointAt;
        } else if (!seenSeparator && isSeparator(i)) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (digitCount == 0)
        return std::nullopt;
    std::int64_t exponent = 0;
    if (i < n && (text(i) == 'e' || text(i) == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text(i) == '+' || text(i) == '-'))
            negativeExponent = text(i++) == '-';
        const std::size_t first = i;
        for (; i < n && text(i) >= '0' && text(i) <= '9'; ++i) {
            if (exponent < kExponentCap)
                exponent = exponent * 10 + (text(i) - '0');
        }
        if (i == first)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;
    if (kept == 0)
        return negative ? -0.0 : 0.0;
    if (sticky)
        digits[kept++] = '1';
    const std::int64_t scale = pointAt + exponent;
    if (scale > 400)
        return std::nullopt; // beyond the range of a double
    if (scale < -400)
        return negative ? -0.0 : 0.0;
    // "0.<digits>e<scale>"
    char buffer[kKeptDigits + 32];
    char *p = buffer;
    *p++ = '0';
    *p++ = '.';
    std::memcpy(p, digits, kept);
    p += kept;
    *p++ = 'e';
    p = std::to_chars(p, buffer + sizeof buffer, scale).ptr;
    double value = 0;
    const auto result = std::from_chars(buffer, p, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (scale > 0)
            return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

} // namespace

std::optional<double> parse(QStringView text, QChar separator)
{
    return parseText(
        std::size_t(text.size()), [&](std::size_t i) { return char32_t(text[qsizetype(i)].unicode()); },
        [&](std::size_t i) { return text[qsizetype(i)] == separator; });
}

std::optional<double> parse(std::string_view cp1252Text, QChar separator)
{
    // The separator as a byte; a separator that Windows-1252 cannot hold never matches.
    const char byte = cp1252::fromUnicodeChar(separator.unicode());
    const bool representable = byte != '?' || separator == u'?';
    return parseText(
        cp1252Text.size(), [&](std::size_t i) { return char32_t(static_cast<unsigned char>(cp1252Text[i])); },
        [&](std::size_t i) { return representable && cp1252Text[i] == byte; });
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
