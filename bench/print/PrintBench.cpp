// The print preview and the PDF command for a list of 10,000 entries, each against printing the same
// list, with page header and page numbers, on the PDF printer (no print queue is needed); and the PDF
// of the same list as a report (details, closing text, signatures, grouped by assembly) against it
// without them.
#include "BenchSupport.h"
#include "document/SafeFile.h"
#include "print/PdfPrintout.h"
#include "print/QPrinterCanvas.h"
#include "ui/PrintPreviewDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>

#include <string>
#include <vector>

namespace {

constexpr int kEntries = 10'000;

const std::vector<ListEntry> &entries()
{
    static const std::vector<ListEntry> list = [] {
        std::vector<ListEntry> out;
        out.reserve(kEntries);
        for (int i = 0; i < kEntries; ++i)
            out.push_back({"Riss im Putz Nr. " + std::to_string(i), {"Baugruppe " + std::to_string(i % 97)}});
        return out;
    }();
    return list;
}

Printout printout()
{
    Printout p;
    p.rows = &entries();
    p.frame = PageFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};
    return p;
}

// The same printout as a report with every detail set, grouped by assembly.
Printout reportPrintout()
{
    Printout p = printout();
    ReportBlock &r = p.frame->report;
    r.firm = QStringLiteral("Ingenieurbüro Beispiel GmbH");
    r.objekt = QStringLiteral("Grundschule am Park, Erweiterungsbau");
    r.anschrift = QStringLiteral("Parkstraße 12\n12345 Musterstadt");
    r.auftraggeber = QStringLiteral("Stadt Musterstadt, Hochbauamt");
    r.auftragnehmer = QStringLiteral("Bau und Ausbau Müller KG");
    r.begehungAm = QStringLiteral("01.12.2026");
    r.teilnehmer = QStringLiteral("Frau Schmidt (Hochbauamt)\nHerr Müller (Bauleitung)\nHerr Weber (Elektro)");
    r.pruefer = QStringLiteral("Dipl.-Ing. K. Prüfer");
    r.schlusstext = QStringLiteral("Wir bitten, die aufgeführten Mängel bis zum 31.01.2027 zu beseitigen und die "
                                   "Beseitigung schriftlich anzuzeigen.");
    p.frame->groupByAssembly = true;
    return p;
}

QString pdfPath(const char *name)
{
    return benchsupport::scratchDir() + QLatin1Char('/') + QLatin1String(name);
}

// Printing: the print run on a QPrinter that writes its PDF file itself.
void BM_Print(benchmark::State &state)
{
    const Printout p = printout();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(pdfPath("druck.pdf"));
        QPrinterCanvas canvas(printer);
        printDefectList(canvas, *p.rows, p.margins, p.font, p.frame);
    }
}

// The PDF command: the same printout made in memory and written in one checked step.
void BM_SavePdf(benchmark::State &state)
{
    const Printout p = printout();
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    for (auto _ : state) {
        if (!safefile::writeAll(pdfPath("befehl.pdf"), printToPdfBytes(a4, p)))
            state.SkipWithError("cannot write");
    }
}

// The PDF command for the report.
void BM_SavePdfReport(benchmark::State &state)
{
    const Printout p = reportPrintout();
    const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    for (auto _ : state) {
        if (!safefile::writeAll(pdfPath("bericht.pdf"), printToPdfBytes(a4, p)))
            state.SkipWithError("cannot write");
    }
}

// The preview: every page painted for the preview widget.
void BM_Preview(benchmark::State &state)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    for (auto _ : state) {
        PrintPreviewDialog dialog(printer, printout);
        if (dialog.pageCount() < 2 || !dialog.failure().isEmpty())
            state.SkipWithError("no preview");
        benchmark::DoNotOptimize(dialog.pageCount());
    }
}

BENCHMARK(BM_Print)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SavePdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SavePdfReport)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Recovery copies of the documents made here go to a scratch folder, never the user's.
    qputenv("XDG_STATE_HOME", QFile::encodeName(QDir(benchsupport::scratchDir()).filePath(QStringLiteral("state"))));
    benchsupport::addRatio("PDF command, 10,000 entries", "BM_SavePdf/min_time:2.000", "BM_Print/min_time:2.000", 1.5);
    benchsupport::addRatio("PDF of a grouped report, 10,000 entries", "BM_SavePdfReport/min_time:2.000",
                           "BM_SavePdf/min_time:2.000", 1.5);
    benchsupport::addRatio("print preview, 10,000 entries", "BM_Preview/min_time:2.000", "BM_Print/min_time:2.000",
                           2.0);
    return benchsupport::runAndReport(argc, argv);
}
