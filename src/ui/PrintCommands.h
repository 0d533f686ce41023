#pragma once

#include "print/PdfPrintout.h"

#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;
class WindowPrompts;

// The window's print commands: printer setup, printing, the print preview and saving as PDF. All of
// them print the same printout with the same layout; a print into a file (the PDF command, or the
// print dialog's PDF printer) is made in memory and put in place by one checked write, so that a file
// that cannot be written completely leaves nothing under its name.
class PrintCommands {
public:
    // printout: what to print, read anew at every command (so a change of the settings page shows at
    // the next one).
    PrintCommands(WindowPrompts &prompts, std::function<Printout()> printout, QWidget *parent);
    ~PrintCommands();

    // The printer of the run: the system's default until a print or setup dialog chooses another.
    QPrinter &printer();

    // The printer-setup dialog; OK makes its choice the printer of later commands.
    void setup();
    // The print dialog, then one print run; true when something was printed. The pages chosen in the
    // dialog are printed with the numbers they have in the whole printout.
    bool print();
    // The print preview of the printout on the current printer; its print button runs print().
    void preview();
    // The save dialog for a PDF file, then the printout into that file; true when it was written.
    // A file that cannot be written throws as a failed print job does, and nothing is left under its name.
    bool savePdf();

    // The page the PDF command prints on: the current printer's paper and orientation when a printer was
    // chosen in a dialog of this run, else A4 portrait.
    QPageLayout pdfPage();

private:
    // Shows the text of a settings problem; true when the printout can be printed on the printer.
    bool printable(QPrinter &printer, const Printout &printout);
    // Writes the PDF bytes of the printout on page to path; throws std::runtime_error with the German
    // text of a failed print job when the file cannot be written completely.
    bool writePdf(const QString &path, const QPageLayout &page, int resolution, const Printout &printout,
                  const PageSelection &pages = {});

    WindowPrompts &m_prompts;
    std::unique_ptr<QPrinter> m_printer;
    std::function<Printout()> m_printout;
    QWidget *m_parent;
    bool m_printerChosen = false;
    QString m_pdfName; // the last PDF file chosen in this run
};
