#include "print/PrinterPages.h"

#include <QPageRanges>
#include <QPrinter>
#include <QStringList>

PageSelection takePageSelection(QPrinter &printer)
{
    PageSelection pages;
    if (printer.printRange() == QPrinter::PageRange) {
        for (const QPageRanges::Range &range : printer.pageRanges().toRangeList())
            pages.ranges.push_back({range.from, range.to});
    }
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges(QPageRanges());

    QPrintEngine *engine = printer.printEngine();
    QStringList options = engine->property(kCupsOptions).toStringList();
    bool changed = false;
    for (qsizetype i = 0; i + 1 < options.size();) {
        if (options[i] == QStringLiteral("page-ranges")) {
            options.remove(i, 2);
            changed = true;
        } else {
            i += 2;
        }
    }
    if (changed)
        engine->setProperty(kCupsOptions, options);
    return pages;
}
