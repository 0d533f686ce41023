#include "PdfWords.h"

#include "print/PrintLayout.h"
#include "print/QPrinterCanvas.h"

#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace {

// The hardware margins of the simulated printer in whole points: its printable area starts this far
// from the edges of the paper.
constexpr double kPaperLeftPt = 30;
constexpr double kPaperTopPt = 36;
const double kPaperLeft = ptToMm(kPaperLeftPt);
const double kPaperTop = ptToMm(kPaperTopPt);

const std::set<QString> kAssemblies{QStringLiteral("Fassade"), QStringLiteral("Dach"), QStringLiteral("Bad")};

const std::vector<ListEntry> kRows{{"Riss im Putz", {"Fassade"}},
                                   {"Wasserfleck an der Decke \xfc"
                                    "ber dem Fenster",
                                    {"Dach"}},
                                   {"Fliesen gesprungen", {"Bad"}},
                                   {"Dachrinne undicht", {"Dach"}}};

class PrintPdfTest : public PdfTest {
protected:
    // Prints the rows into a PDF on A4 and returns its words. The printer has the hardware margins
    // above, or none at all (a plain PDF printer, whose printable area is the whole sheet).
    std::vector<PdfWord> print(const std::vector<ListEntry> &rows, const PrintMargins &margins, int resolution = 0,
                               bool hardwareMargins = true)
    {
        const QString path = m_dir.filePath(QStringLiteral("liste%1.pdf").arg(++m_files));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (resolution)
            printer.setResolution(resolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        if (hardwareMargins) {
            const QMarginsF hardware(kPaperLeftPt, kPaperTopPt, kPaperLeftPt, kPaperTopPt);
            printer.setPageLayout(
                QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, hardware, QPageLayout::Point, hardware));
        }
        // Qt's own page margins (10 pt for a new printer) must not shift the printout.
        EXPECT_TRUE(printer.setPageMargins(printer.pageLayout().minimumMargins() + QMarginsF(10, 10, 10, 10),
                                           printer.pageLayout().units()));
        QPrinterCanvas canvas(printer);
        printDefectList(canvas, rows, margins, PrintFont{});
        return pdfWords(path);
    }

    int m_files = 0;
};

} // namespace

TEST_F(PrintPdfTest, titleStartsAtTheLeftMarginAndAssembliesFiveMillimetresPastTheWidestName)
{
    const auto words = print(kRows, {15, 20, 15, 15});
    const PdfWord *title = findWord(words, QStringLiteral("Mängelliste"));
    ASSERT_TRUE(title) << "no title in the PDF";
    EXPECT_NEAR(ptToMm(title->xMin), kPaperLeft + 15, 0.05);
    EXPECT_NEAR(ptToMm(title->yMin), kPaperTop + 20, 0.05);

    double nameEnd = 0;
    std::vector<double> assemblyStarts;
    for (const PdfWord &w : words) {
        if (kAssemblies.count(w.text))
            assemblyStarts.push_back(ptToMm(w.xMin));
        else if (&w != title)
            nameEnd = std::max(nameEnd, ptToMm(w.xMax));
    }
    ASSERT_EQ(assemblyStarts.size(), kRows.size());
    for (double x : assemblyStarts)
        EXPECT_NEAR(x, nameEnd + 5, 0.05);
}

TEST_F(PrintPdfTest, charactersKeepTheirPointSizeAtAnyPrinterResolution)
{
    const auto fine = print(kRows, {});
    const auto coarse = print(kRows, {}, 300);
    const PdfWord *fineTitle = findWord(fine, QStringLiteral("Mängelliste"));
    const PdfWord *coarseTitle = findWord(coarse, QStringLiteral("Mängelliste"));
    const PdfWord *fineRow = findWord(fine, QStringLiteral("Riss"));
    const PdfWord *fineNext = findWord(fine, QStringLiteral("Wasserfleck"));
    ASSERT_TRUE(fineTitle && coarseTitle && fineRow && fineNext);

    const double width = fineTitle->xMax - fineTitle->xMin;
    EXPECT_NEAR(coarseTitle->xMax - coarseTitle->xMin, width, width * 0.01);
    // 11 pt with the line height of Arial's metrics (ascent and descent, 1.117 em): 12.3 pt from row to row.
    EXPECT_NEAR(fineNext->yMin - fineRow->yMin, 12.3, 0.1);
    EXPECT_NEAR(coarseTitle->yMin, fineTitle->yMin, 0.3);
}

TEST_F(PrintPdfTest, longListContinuesAtTheTopMarginOfTheNextPage)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= 70; ++i)
        rows.push_back({"Zeile" + std::to_string(i), {"Bad"}});
    const auto words = print(rows, {15, 15, 15, 15});

    std::vector<const PdfWord *> printed;
    for (const PdfWord &w : words)
        if (w.text.startsWith(QStringLiteral("Zeile")))
            printed.push_back(&w);
    ASSERT_EQ(printed.size(), rows.size());
    const PdfWord *title = findWord(words, QStringLiteral("Mängelliste"));
    ASSERT_TRUE(title);
    const double paperHeight = 297;
    int firstOnSecondPage = -1;
    for (std::size_t i = 0; i < printed.size(); ++i) {
        EXPECT_EQ(printed[i]->text, QStringLiteral("Zeile%1").arg(i + 1));
        EXPECT_LE(ptToMm(printed[i]->yMax), paperHeight - kPaperTop - 15);
        if (printed[i]->page == 1 && firstOnSecondPage < 0)
            firstOnSecondPage = static_cast<int>(i);
    }
    ASSERT_GT(firstOnSecondPage, 0) << "the list should fill more than one page";
    EXPECT_EQ(printed.back()->page, 1);
    EXPECT_NEAR(printed[firstOnSecondPage]->yMin, title->yMin, 0.05) << "the second page starts at the top margin";
}

TEST_F(PrintPdfTest, withoutHardwareMarginsThePrintoutStartsAtTheCornerOfTheSheetAndUsesItsWholeHeight)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= 80; ++i)
        rows.push_back({"Zeile" + std::to_string(i), {"Bad"}});
    const auto words = print(rows, {0, 0, 0, 0}, 0, false);

    const PdfWord *title = findWord(words, QStringLiteral("Mängelliste"));
    ASSERT_TRUE(title);
    EXPECT_NEAR(title->xMin, 0, 0.1);
    EXPECT_NEAR(title->yMin, 0, 0.1);

    std::vector<const PdfWord *> printed;
    for (const PdfWord &w : words)
        if (w.text.startsWith(QStringLiteral("Zeile")))
            printed.push_back(&w);
    ASSERT_EQ(printed.size(), rows.size());
    const double line = printed[1]->yMin - printed[0]->yMin;
    const double sheetHeight = 297 * 72 / 25.4;
    // Row i fills the lines 2 + i to 3 + i of the sheet: rows fit while their bottom stays on it.
    const auto expectedOnFirstPage = static_cast<std::size_t>(std::floor(sheetHeight / line)) - 2;
    const auto onFirstPage = static_cast<std::size_t>(
        std::count_if(printed.begin(), printed.end(), [](const PdfWord *w) { return w->page == 0; }));
    EXPECT_EQ(onFirstPage, expectedOnFirstPage) << "line height " << line << " pt";
    EXPECT_NEAR(printed[onFirstPage]->yMin, 0, 0.1) << "the second page starts at its top edge";
}

TEST(QPrinterCanvas, aJobThatCannotStartFailsWithAGermanMessage)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/liste.pdf"));
    QPrinterCanvas canvas(printer);
    try {
        printDefectList(canvas, kRows, {}, PrintFont{});
        FAIL() << "printing into a missing folder succeeded";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("Drucken fehlgeschlagen: Der Druckauftrag für die Datei "
                                 "\"/nonexistent-folder/liste.pdf\" konnte nicht begonnen werden"));
    }
}
