#include "print/QPrinterCanvas.h"

#include "print/PrintFontQt.h"

#include <QFontMetrics>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString &reason)
{
    throw std::runtime_error(QStringLiteral("Drucken fehlgeschlagen: %1").arg(reason).toStdString());
}

// Names the target of a job for a message: the PDF file or the printer.
QString targetOf(const QPrinter *printer)
{
    if (!printer)
        return QStringLiteral("die PDF-Datei");
    if (printer->outputFormat() == QPrinter::PdfFormat)
        return QStringLiteral("die Datei \"%1\"").arg(printer->outputFileName());
    return QStringLiteral("den Drucker \"%1\"").arg(printer->printerName());
}

} // namespace

QPrinterCanvas::QPrinterCanvas(QPrinter &printer, Target target)
    : m_device(printer), m_printer(&printer), m_target(target)
{
    // Qt keeps page margins of its own (10 pt for a new printer, whatever its print dialog set) and
    // paints inside them. The layout keeps its margins itself, from the printable area: Qt's margins
    // shrink to what the device cannot print on, so that painting starts at the printable area's corner.
    const QPageLayout layout = m_printer->pageLayout();
    m_printer->setPageMargins(layout.minimumMargins(), layout.units());
}

QPrinterCanvas::QPrinterCanvas(QPdfWriter &writer) : m_device(writer), m_writer(&writer)
{
    m_writer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QPrinterCanvas::~QPrinterCanvas()
{
    if (m_painter.isActive()) {
        if (m_printer)
            m_printer->abort();
        m_painter.end();
    }
}

void QPrinterCanvas::beginDocument(const QString &documentName)
{
    if (m_printer) {
        if (!m_printer->isValid())
            fail(QStringLiteral("Es ist kein gültiger Drucker eingerichtet"));
        if (m_target == Target::Output && m_printer->outputFormat() == QPrinter::PdfFormat &&
            m_printer->outputFileName().isEmpty())
            fail(QStringLiteral("Es ist weder ein Drucker noch eine Ausgabedatei gewählt"));
        m_printer->setDocName(documentName);
    } else {
        m_writer->setTitle(documentName);
    }
    if (!m_painter.begin(&m_device))
        fail(QStringLiteral("Der Druckauftrag für %1 konnte nicht begonnen werden").arg(targetOf(m_printer)));
    if (m_metrics) {
        // A font set before the job began.
        m_painter.setFont(m_font);
        m_painter.setPen(m_color);
    } else {
        applyFont(QFont(m_painter.font()));
    }
}

void QPrinterCanvas::endDocument()
{
    const bool ended = m_painter.end();
    if (!ended || (m_printer && m_printer->printerState() == QPrinter::Error))
        fail(QStringLiteral("Der Druckauftrag für %1 konnte nicht abgeschlossen werden").arg(targetOf(m_printer)));
}

void QPrinterCanvas::newPage()
{
    if (!m_device.newPage())
        fail(QStringLiteral("Eine neue Seite für %1 konnte nicht begonnen werden").arg(targetOf(m_printer)));
}

int QPrinterCanvas::dpiX() const
{
    return m_device.logicalDpiX();
}

int QPrinterCanvas::dpiY() const
{
    return m_device.logicalDpiY();
}

int QPrinterCanvas::pageWidth() const
{
    return m_device.width();
}

int QPrinterCanvas::pageHeight() const
{
    return m_device.height();
}

void QPrinterCanvas::setFont(const PrintFont &font)
{
    m_color = printfontqt::toQColor(font.color);
    if (m_painter.isActive())
        m_painter.setPen(m_color);
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
    // Resolving the font against the device turns its points into the device's dots.
    m_font = QFont(font, &m_device);
    if (m_painter.isActive())
        m_painter.setFont(m_font);
    m_metrics.emplace(m_font, &m_device);
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

void QPrinterCanvas::drawHorizontalLine(int x, int y, int width)
{
    const int thickness = std::max(1, dpiY() / 127); // 0.2 mm
    m_painter.fillRect(x, y, width, thickness, m_color);
}
