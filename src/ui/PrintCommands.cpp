#include "ui/PrintCommands.h"

#include "document/SafeFile.h"
#include "print/PrintSettingsError.h"
#include "print/PrinterPages.h"
#include "print/QPrinterCanvas.h"
#include "ui/Application.h"
#include "ui/PrintPreviewDialog.h"
#include "ui/WindowPrompts.h"

#include <QPageSize>
#include <QPrinter>

namespace {

const QString kPrintCaption = QStringLiteral("Drucken");

const std::vector<ListEntry> &rowsOf(const Printout &printout)
{
    static const std::vector<ListEntry> kNoRows;
    return printout.rows ? *printout.rows : kNoRows;
}

} // namespace

PrintCommands::PrintCommands(WindowPrompts &prompts, std::function<Printout()> printout, QWidget *parent)
    : m_prompts(prompts), m_printout(std::move(printout)), m_parent(parent)
{
}

PrintCommands::~PrintCommands() = default;

QPrinter &PrintCommands::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void PrintCommands::setup()
{
    if (m_prompts.printerSetupDialog(printer()))
        m_printerChosen = true;
}

bool PrintCommands::print()
{
    QPrinter &printer = this->printer();
    if (!m_prompts.printDialog(printer))
        return false;
    m_printerChosen = true;
    const PageSelection pages = takePageSelection(printer);
    const Printout printout = m_printout();
    try {
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            // Printing into a file: made in memory, then written in one checked step.
            printer.setDocName(printDocumentName());
            return writePdf(printer.outputFileName(), printer.pageLayout(), printer.resolution(), printout, pages);
        }
        // Errors of the printer layer end the command in the general error display.
        QPrinterCanvas canvas(printer);
        printDefectList(canvas, rowsOf(printout), printout.margins, printout.font, printout.frame, pages);
    } catch (const PrintSettingsError &e) {
        m_prompts.error(kPrintCaption, e.text()); // nothing was sent to the printer
        return false;
    }
    return true;
}

bool PrintCommands::printable(QPrinter &printer, const Printout &printout)
{
    QPrinterCanvas canvas(printer, QPrinterCanvas::Target::Preview);
    try {
        countPages(canvas, rowsOf(printout), printout.margins, printout.font, printout.frame);
    } catch (const PrintSettingsError &e) {
        m_prompts.error(kPrintCaption, e.text());
        return false;
    }
    return true;
}

void PrintCommands::preview()
{
    QPrinter &printer = this->printer();
    if (!printable(printer, m_printout()))
        return;
    PrintPreviewDialog dialog(printer, m_printout, m_parent);
    const int result = dialog.exec();
    if (!dialog.failure().isEmpty())
        m_prompts.error(kPrintCaption, dialog.failure());
    else if (result == PrintPreviewDialog::PrintRequested)
        print();
}

QPageLayout PrintCommands::pdfPage()
{
    if (!m_printerChosen)
        return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    const QPageLayout chosen = printer().pageLayout();
    return QPageLayout(chosen.pageSize(), chosen.orientation(), QMarginsF());
}

bool PrintCommands::savePdf()
{
    Prompts::FileDialog dialog;
    dialog.filter = QStringLiteral("PDF-Dateien (*.pdf)");
    dialog.defaultSuffix = QStringLiteral("pdf");
    dialog.startPath = m_pdfName;
    dialog.confirmOverwrite = true;
    const std::optional<Prompts::FileChoice> choice = m_prompts.chooseSaveFile(dialog);
    if (!choice)
        return false;
    m_pdfName = choice->path;
    try {
        return writePdf(choice->path, pdfPage(), kPdfResolution, m_printout());
    } catch (const PrintSettingsError &e) {
        m_prompts.error(kPrintCaption, e.text());
        return false;
    }
}

bool PrintCommands::writePdf(const QString &path, const QPageLayout &page, int resolution, const Printout &printout,
                             const PageSelection &pages)
{
    const FileResult<void> written = safefile::writeAll(path, printToPdfBytes(page, printout, resolution, pages));
    if (!written) {
        // The message of a print job that could not be completed, as the general error display shows it.
        showFailure(m_prompts, Application::title(),
                    Application::errorText(QStringLiteral("Drucken fehlgeschlagen: Der Druckauftrag für die Datei \"%1\" "
                                                          "konnte nicht abgeschlossen werden")
                                               .arg(path)),
                    path, written.error());
    }
    return bool(written);
}
