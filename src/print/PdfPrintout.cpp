#include "print/PdfPrintout.h"

#include "print/QPrinterCanvas.h"

#include <QBuffer>
#include <QPdfWriter>

QByteArray printToPdfBytes(const QPageLayout &page, const Printout &printout, int resolution,
                           const PageSelection &pages)
{
    static const std::vector<ListEntry> kNoRows;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(resolution);
        writer.setCreator(printDocumentName());
        writer.setPageLayout(QPageLayout(page.pageSize(), page.orientation(), QMarginsF(0, 0, 0, 0)));
        QPrinterCanvas canvas(writer);
        printDefectList(canvas, printout.rows ? *printout.rows : kNoRows, printout.margins, printout.font,
                        printout.frame, pages);
    }
    return buffer.data();
}
