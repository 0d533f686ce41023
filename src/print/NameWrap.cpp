#include "print/NameWrap.h"

namespace namewrap {

namespace {

constexpr QChar kBlank = u' ';

// The number of characters from `from` on that fit into the width, at least one. Widths grow with
// the length of a text, so a doubling search followed by bisection finds the longest prefix while
// measuring only texts of about a line's length, however long the rest is.
qsizetype fittingLength(const QString &text, qsizetype from, int width, const Measure &measure)
{
    const qsizetype available = text.size() - from;
    const auto fits = [&](qsizetype length) { return measure(text.mid(from, length)) <= width; };
    qsizetype good = 1; // one character always stands on a line, however wide it is
    qsizetype bad = 2;
    while (bad <= available && fits(bad)) {
        good = bad;
        bad *= 2;
    }
    if (bad > available) {
        if (good == available || fits(available))
            return available;
        bad = available;
    }
    while (bad - good > 1) {
        const qsizetype middle = good + (bad - good) / 2;
        (fits(middle) ? good : bad) = middle;
    }
    return good;
}

} // namespace

std::vector<QString> splitLines(const QString &name)
{
    std::vector<QString> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] != u'\r' && name[i] != u'\n')
            continue;
        lines.push_back(name.mid(start, i - start));
        if (name[i] == u'\r' && i + 1 < name.size() && name[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.push_back(name.mid(start));
    return lines;
}

std::vector<QString> wrapLine(const QString &line, int width, const Measure &measure)
{
    if (measure(line) <= width)
        return {line};
    std::vector<QString> lines;
    qsizetype from = 0;
    while (from < line.size()) {
        qsizetype end = from + fittingLength(line, from, width, measure);
        if (end < line.size() && line[end] != kBlank) {
            // Back off to the last blank that follows a word of this line, if there is one.
            qsizetype content = from;
            while (content < end && line[content] == kBlank)
                ++content;
            qsizetype blank = end - 1;
            while (blank > content && line[blank] != kBlank)
                --blank;
            if (blank > content)
                end = blank;
        }
        qsizetype last = end;
        while (last > from && line[last - 1] == kBlank)
            --last;
        lines.push_back(line.mid(from, (last > from ? last : end) - from));
        from = end;
        while (from < line.size() && line[from] == kBlank)
            ++from;
    }
    return lines;
}

} // namespace namewrap
