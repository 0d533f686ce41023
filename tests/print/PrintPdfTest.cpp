#include "PdfWords.h"

#include "print/PrintLayout.h"
#include "print/QPrinterCanvas.h"

#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

namespace {

// Page margins of the paper in whole points (Qt keeps page margins in whole points): the printable
// area starts this far from the edges of the paper.
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

class PrintPdfTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext is not installed (apt-get install poppler-utils)";
        ASSERT_TRUE(m_dir.isValid());
    }

    // Prints the rows into a PDF on A4 with the paper margins above and returns its words.
    std::vector<PdfWord> print(const std::vector<ListEntry> &rows, const PrintMargins &margins, int resolution = 0)
    {
        const QString path = m_dir.filePath(QStringLiteral("liste%1.pdf").arg(++m_files));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        if (resolution)
            printer.setResolution(resolution);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(kPaperLeftPt, kPaperTopPt, kPaperLeftPt, kPaperTopPt), QPageLayout::Point);
        QPrinterCanvas canvas(printer);
        printDefectList(canvas, rows, margins, PrintFont{});
        return pdfWords(path);
    }

    QTemporaryDir m_dir;
    int m_files = 0;
};

const PdfWord *find(const std::vector<PdfWord> &words, const QString &text)
{
    const auto it = std::find_if(words.begin(), words.end(), [&](const PdfWord &w) { return w.text == text; });
    return it == words.end() ? nullptr : &*it;
}

} // namespace

TEST_F(PrintPdfTest, titleStartsAtTheLeftMarginAndAssembliesFiveMillimetresPastTheWidestName)
{
    const auto words = print(kRows, {15, 20, 15, 15});
    const PdfWord *title = find(words, QStringLiteral("Mängelliste"));
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
    const PdfWord *fineTitle = find(fine, QStringLiteral("Mängelliste"));
    const PdfWord *coarseTitle = find(coarse, QStringLiteral("Mängelliste"));
    const PdfWord *fineRow = find(fine, QStringLiteral("Riss"));
    const PdfWord *fineNext = find(fine, QStringLiteral("Wasserfleck"));
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
    const PdfWord *title = find(words, QStringLiteral("Mängelliste"));
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
