#pragma once

#include "print/PrintCanvas.h"

#include <QFont>
#include <QPainter>

#include <optional>

class QPagedPaintDevice;
class QPdfWriter;
class QPrinter;
class QFontMetrics;

// The print canvas of a real printer: paints through QPainter on a QPrinter (a system printer, a PDF
// file when the printer is set up for one, or a print preview), or on a QPdfWriter.
//
// Fonts are carried in points and measured on the device itself, so printed characters have their
// point size at any resolution; they can be set and measured before the document begins. Failures of
// the printer layer throw std::runtime_error with a German text (UTF-8) starting "Drucken
// fehlgeschlagen: ". A job that is not ended by endDocument(), because the run stopped on an error,
// is aborted when the canvas is destroyed.
class QPrinterCanvas : public PrintCanvas {
public:
    enum class Target {
        Output,  // the printer prints: a printer or a file must be chosen
        Preview, // the printer paints a print preview, which needs neither
    };

    // The printer must outlive the canvas; its settings (printer, paper, copies) are used as they are,
    // but its page margins are set to the device's minimum: the canvas is the printable area.
    explicit QPrinterCanvas(QPrinter &printer, Target target = Target::Output);
    // A PDF written by the writer; its page margins are set to none.
    explicit QPrinterCanvas(QPdfWriter &writer);
    ~QPrinterCanvas() override;

    QPrinterCanvas(const QPrinterCanvas &) = delete;
    QPrinterCanvas &operator=(const QPrinterCanvas &) = delete;

    void beginDocument(const QString &documentName) override;
    void endDocument() override;
    void newPage() override;

    int dpiX() const override;
    int dpiY() const override;
    int pageWidth() const override;
    int pageHeight() const override;

    void setFont(const PrintFont &font) override;
    void setFontStyle(const FontStyle &style) override;

    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void drawText(int x, int y, const QString &text) override;
    void drawHorizontalLine(int x, int y, int width) override;

private:
    void applyFont(const QFont &font);
    const QFontMetrics &metrics() const;

    QPagedPaintDevice &m_device;
    QPrinter *m_printer = nullptr;   // when the device is a printer
    QPdfWriter *m_writer = nullptr;  // when it is a PDF writer
    Target m_target = Target::Output;
    QPainter m_painter;
    QFont m_font;
    QColor m_color;
    std::optional<QFontMetrics> m_metrics;
};
