#include "settings/SettingsText.h"

#include "document/LocaleNumber.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace settingstext {

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

const char16_t *const kPitchNames[] = {u"fpDefault", u"fpVariable", u"fpFixed"};
const char16_t *const kStyleNames[] = {u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};

} // namespace

QString trimmed(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlankOrControl(text[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

std::optional<int> parseInt(QStringView text)
{
    qsizetype i = 0, n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    while (n > i && isBlank(text[n - 1]))
        --n;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString formatInt(qint64 value)
{
    return QString::number(value);
}

QString formatMargin(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0.0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 1e18)
        return QString::number(value, 'f', QLocale::FloatingPointShortest);
    // "1e+20" => "1E20", "1.5e-07" => "1.5E-7"
    QString s = QString::number(value, 'e', QLocale::FloatingPointShortest).toUpper();
    const qsizetype e = s.indexOf(u'E');
    QString exponent = s.mid(e + 1);
    const bool negativeExponent = exponent.startsWith(u'-');
    exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.front() == u'0')
        exponent.remove(0, 1);
    return s.left(e + 1) + (negativeExponent ? QStringLiteral("-") : QString()) + exponent;
}

std::optional<double> parseMargin(QStringView text, QChar decimalMark)
{
    QString local = text.toString();
    local.replace(u'.', decimalMark);
    return localenumber::parse(local, decimalMark);
}

double spinEditValue(double value)
{
    if (std::isnan(value))
        return 0;
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1;
    if (whole < 0)
        return 0;
    if (whole > 50)
        return 50;
    return whole;
}

QString formatPitch(FontPitch pitch)
{
    return QString::fromUtf16(kPitchNames[int(pitch)]);
}

std::optional<FontPitch> parsePitch(QStringView text)
{
    for (int i = 0; i < 3; ++i) {
        if (text.compare(QStringView(kPitchNames[i]), Qt::CaseInsensitive) == 0)
            return FontPitch(i);
    }
    return std::nullopt;
}

QString formatStyle(const FontStyle &style)
{
    const bool set[] = {style.bold, style.italic, style.underline, style.strikeOut};
    QString text = QStringLiteral("[");
    for (int i = 0; i < 4; ++i) {
        if (!set[i])
            continue;
        if (text.size() > 1)
            text += u',';
        text += QStringView(kStyleNames[i]);
    }
    return text + u']';
}

namespace {

// The non-empty runs of characters between separators:  "[fsBold, fsItalic]" => fsBold, fsItalic
template <class IsSeparator>
QStringList splitWords(QStringView text, IsSeparator isSeparator)
{
    QStringList result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && isSeparator(text[i]))
            ++i;
        const qsizetype begin = i;
        while (i < n && !isSeparator(text[i]))
            ++i;
        if (i > begin)
            result.append(text.mid(begin, i - begin).toString());
    }
    return result;
}

} // namespace

void parseStyle(QStringView text, FontStyle &style)
{
    bool set[4] = {false, false, false, false};
    const auto isSeparator = [](QChar c) { return c == u' ' || c == u',' || c == u'[' || c == u']'; };
    for (const QString &word : splitWords(text, isSeparator)) {
        for (int k = 0; k < 4; ++k) {
            if (QStringView(word).compare(QStringView(kStyleNames[k]), Qt::CaseInsensitive) == 0)
                set[k] = true;
        }
    }
    style = {set[0], set[1], set[2], set[3]};
}

QStringList words(QStringView text)
{
    return splitWords(text, [](QChar c) { return c == u',' || isBlank(c); });
}

} // namespace settingstext
