#include "print/PrinterPages.h"

#include <QPageRanges>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

namespace {

// The printer's options for CUPS, a list of names and values: Qt's print dialog puts a page range
// there ("page-ranges") when it leaves the picking of pages to the print system, and the printer
// keeps it for later jobs. The key is Qt's own, outside its public names.
const auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

} // namespace

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
