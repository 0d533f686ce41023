#include "print/QPrinterCanvas.h"

#include "print/PrintFontQt.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPrinter>

#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString &reason)
{
    throw std::runtime_error(QStringLiteral("Drucken fehlgeschlagen: %1").arg(reason).toStdString());
}

// Names the target of a job for a message: the PDF file or the printer.
QString targetOf(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("die Datei \"%1\"").arg(printer.outputFileName());
    return QStringLiteral("den Drucker \"%1\"").arg(printer.printerName());
}

} // namespace

QPrinterCanvas::QPrinterCanvas(QPrinter &printer) : m_printer(printer)
{
    // Qt keeps page margins of its own (10 pt for a new printer, whatever its print dialog set) and
    // paints inside them. The layout keeps its margins itself, from the printable area: Qt's margins
    // shrink to what the device cannot print on, so that painting starts at the printable area's corner.
    const QPageLayout layout = m_printer.pageLayout();
    m_printer.setPageMargins(layout.minimumMargins(), layout.units());
}

QPrinterCanvas::~QPrinterCanvas()
{
    if (m_painter.isActive()) {
        m_printer.abort();
        m_painter.end();
    }
}

void QPrinterCanvas::beginDocument(const QString &documentName)
{
    if (!m_printer.isValid())
        fail(QStringLiteral("Es ist kein gültiger Drucker eingerichtet"));
    if (m_printer.outputFormat() == QPrinter::PdfFormat && m_printer.outputFileName().isEmpty())
        fail(QStringLiteral("Es ist weder ein Drucker noch eine Ausgabedatei gewählt"));
    m_printer.setDocName(documentName);
    if (!m_painter.begin(&m_printer))
        fail(QStringLiteral("Der Druckauftrag für %1 konnte nicht begonnen werden").arg(targetOf(m_printer)));
    applyFont(QFont(m_painter.font()));
}

void QPrinterCanvas::endDocument()
{
    const bool ended = m_painter.end();
    if (!ended || m_printer.printerState() == QPrinter::Error)
        fail(QStringLiteral("Der Druckauftrag für %1 konnte nicht abgeschlossen werden").arg(targetOf(m_printer)));
}

void QPrinterCanvas::newPage()
{
    if (!m_printer.newPage())
        fail(QStringLiteral("Eine neue Seite für %1 konnte nicht begonnen werden").arg(targetOf(m_printer)));
}

int QPrinterCanvas::dpiX() const
{
    return m_printer.logicalDpiX();
}

int QPrinterCanvas::dpiY() const
{
    return m_printer.logicalDpiY();
}

int QPrinterCanvas::pageWidth() const
{
    return m_printer.width();
}

int QPrinterCanvas::pageHeight() const
{
    return m_printer.height();
}

void QPrinterCanvas::setFont(const PrintFont &font)
{
    m_painter.setPen(printfontqt::toQColor(font.color));
    applyFont(printfontqt::toQFont(font));
}

void QPrinterCanvas::setFontStyle(const FontStyle &style)
{
    QFont font = m_font;
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    applyFont(font);
}

void QPrinterCanvas::applyFont(const QFont &font)
{
    // Resolving the font against the printer turns its points into the printer's dots.
    m_font = QFont(font, &m_printer);
    m_painter.setFont(m_font);
    m_metrics.emplace(m_font, &m_printer);
}

const QFontMetrics &QPrinterCanvas::metrics() const
{
    if (!m_metrics)
        fail(QStringLiteral("Der Druckauftrag wurde nicht begonnen"));
    return *m_metrics;
}

int QPrinterCanvas::textWidth(const QString &text)
{
    return metrics().horizontalAdvance(text);
}

int QPrinterCanvas::textHeight(const QString &)
{
    return metrics().height();
}

void QPrinterCanvas::drawText(int x, int y, const QString &text)
{
    // QPainter places text on its baseline; the canvas takes the top-left corner.
    m_painter.drawText(x, y + metrics().ascent(), text);
}
