#include "editing/SortKeys.h"

#include "document/Cp1252.h"

#include <QLocale>

#include <memory>

namespace editing {

QString sortText(std::string_view bytes)
{
    QString text = cp1252::toUnicode(bytes);
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(char16_t(u - (u'a' - u'A')));
    }
    return text;
}

const QCollator &sortCollator()
{
    struct Cache {
        QLocale locale;
        QCollator collator;
    };
    thread_local std::unique_ptr<Cache> cache;
    const QLocale current;
    if (!cache || cache->locale != current) {
        QCollator collator(current);
        collator.setCaseSensitivity(Qt::CaseSensitive);
        collator.setNumericMode(false);
        collator.setIgnorePunctuation(false);
        cache = std::make_unique<Cache>(Cache{current, std::move(collator)});
    }
    return cache->collator;
}

int CompareSortKeys(std::string_view a, std::string_view b)
{
    const QCollator &collator = sortCollator();
    const QString ka = sortText(a), kb = sortText(b);
    int r;
    if (ka.isEmpty() || kb.isEmpty()) {
        // The direct comparison puts the empty text before any other; the collation itself counts
        // a text made only of ignorable characters (such as C1 controls) as equal to it. Ask the
        // sort keys, so that this comparison and the sort by precomputed keys always agree.
        r = collator.sortKey(ka).compare(collator.sortKey(kb));
    } else {
        r = collator.compare(ka, kb);
    }
    return (r > 0) - (r < 0);
}

} // namespace editing
