// Prints a sample defect list through the real canvas, to a named printer or into a PDF file.
//   print_sample --printer NAME [--rows N] [--margins MM]
//   print_sample --pdf FILE [--rows N] [--margins MM]
//   print_sample --list [--rows N]      (writes "name<TAB>assembly" per row, UTF-8, instead of printing)
// --margins sets all four margins (default: the start values of 15 mm); --frame NAME prints the page
// header with that document name and today's date, the headings, numbers and page numbers; --report
// adds sample report details, closing text and signatures to it and groups the rows by assembly;
// --size PT prints in that font size (default 11); --pages FROM-TO prints those pages only;
// --dialog-pages FROM-TO leaves that range on the printer as the print dialog does (also as the CUPS
// option) and prints as the print command does.
// Exits with 0 after the job was handed over, 1 with the error text on stderr otherwise.

#include "SampleDefects.h"

#include "document/Cp1252.h"
#include "print/PrintLayout.h"
#include "print/PrinterPages.h"
#include "print/QPrinterCanvas.h"

#include <QDate>
#include <QGuiApplication>
#include <QPrinter>
#include <QStringList>

#include <cstdio>
#include <exception>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    QString printerName;
    QString pdfFile;
    int rows = 60;
    PrintMargins margins;
    bool list = false;
    std::optional<PageFrame> frame;
    bool report = false;
    PrintFont font;
    PageSelection pages;
    QString dialogPages;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QStringLiteral("--list"))
            list = true;
        else if (args[i] == QStringLiteral("--printer") && hasValue)
            printerName = args[++i];
        else if (args[i] == QStringLiteral("--pdf") && hasValue)
            pdfFile = args[++i];
        else if (args[i] == QStringLiteral("--frame") && hasValue)
            frame = PageFrame{args[++i], QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))};
        else if (args[i] == QStringLiteral("--report"))
            report = true;
        else if (args[i] == QStringLiteral("--size") && hasValue)
            font.size = args[++i].toInt();
        else if (args[i] == QStringLiteral("--pages") && hasValue) {
            const QStringList ends = args[++i].split(u'-');
            pages.ranges.push_back({ends.front().toInt(), ends.back().toInt()});
        } else if (args[i] == QStringLiteral("--dialog-pages") && hasValue) {
            dialogPages = args[++i];
        } else if (args[i] == QStringLiteral("--rows") && hasValue)
            rows = args[++i].toInt();
        else if (args[i] == QStringLiteral("--margins") && hasValue) {
            const int mm = args[++i].toInt();
            margins = {mm, mm, mm, mm};
        }
    }
    if (list) {
        for (const ListEntry &row : sampleDefects(rows))
            std::printf("%s\t%s\n", cp1252::toUnicode(row.caption()).toUtf8().constData(),
                        cp1252::toUnicode(row.subItem(0)).toUtf8().constData());
        return 0;
    }
    if (printerName.isEmpty() == pdfFile.isEmpty()) {
        std::fputs("usage: print_sample --printer NAME | --pdf FILE | --list [--rows N]\n", stderr);
        return 2;
    }

    if (report) {
        if (!frame)
            frame = PageFrame{QStringLiteral("Begehung"), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))};
        ReportBlock &r = frame->report;
        r.firm = QStringLiteral("Ingenieurbüro Beispiel");
        r.objekt = QStringLiteral("Grundschule am Park, Erweiterungsbau");
        r.anschrift = QStringLiteral("Parkstraße 12\n12345 Musterstadt");
        r.auftraggeber = QStringLiteral("Stadt Musterstadt, Hochbauamt");
        r.auftragnehmer = QStringLiteral("Bau und Ausbau Müller KG");
        r.begehungAm = QStringLiteral("01.12.2026");
        r.teilnehmer = QStringLiteral("Frau Schmidt (Hochbauamt)\nHerr Müller (Bauleitung)");
        r.pruefer = QStringLiteral("Dipl.-Ing. K. Prüfer");
        r.schlusstext = QStringLiteral("Wir bitten, die aufgeführten Mängel bis zum 31.01.2027 zu beseitigen und "
                                       "die Beseitigung schriftlich anzuzeigen.");
        frame->groupByAssembly = true;
    }

    QPrinter printer(QPrinter::HighResolution);
    if (!pdfFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        printer.setPageSize(QPageSize(QPageSize::A4));
    } else {
        printer.setPrinterName(printerName);
        if (printer.printerName() != printerName) {
            std::fprintf(stderr, "printer %s not found\n", qPrintable(printerName));
            return 1;
        }
    }
    if (!dialogPages.isEmpty()) {
        const QStringList ends = dialogPages.split(u'-');
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(ends.front().toInt(), ends.back().toInt());
        QStringList options = printer.printEngine()->property(kCupsOptions).toStringList();
        options << QStringLiteral("page-ranges") << dialogPages;
        printer.printEngine()->setProperty(kCupsOptions, options);
        pages = takePageSelection(printer);
    }
    try {
        QPrinterCanvas canvas(printer);
        printDefectList(canvas, sampleDefects(rows), margins, font, frame, pages);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
