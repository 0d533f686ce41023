// The report read back from its PDF, with the real fonts: every word ends at the right edge.
#include "PdfWords.h"

#include "print/PdfPrintout.h"

#include <QFile>

#include <gtest/gtest.h>

#include <string>

using PrintReportPdfTest = PdfTest;

TEST_F(PrintReportPdfTest, everyWordEndsAtTheRightMarginAndTheLastPageCarriesTheSignatures)
{
    const std::string longName = "Wasserschaden an der Unterseite der Dachkonstruktion im Bereich der Gaube mit "
                                 "Folgeschaeden am Innenputz und an den Fensterlaibungen im Obergeschoss";
    std::vector<ListEntry> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({i % 3 ? "Riss im Putz" : longName,
                        {i % 2 ? "Dach"
                               : "Sanit\xe4rinstallation und Entw\xe4sserung"
                                 " der Kellergeschosse"}});
    Printout printout;
    printout.rows = &rows;
    printout.margins = {15, 15, 20, 15};
    PageFrame frame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};
    frame.report.firm = QStringLiteral("Ingenieurbüro Beispiel");
    frame.report.objekt = QStringLiteral("Grundschule am Park");
    frame.report.anschrift = QStringLiteral("Parkstraße 12\n12345 Musterstadt");
    frame.report.begehungAm = QStringLiteral("01.12.2026");
    frame.report.teilnehmer = QString::fromStdString(longName);
    frame.report.schlusstext = QString::fromStdString(longName);
    frame.groupByAssembly = true;
    printout.frame = frame;

    const QString path = m_dir.filePath(QStringLiteral("bericht.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(printToPdfBytes(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()), printout));
    file.close();
    const std::vector<PdfWord> words = pdfWords(path);
    ASSERT_FALSE(words.empty());

    for (const PdfWord &w : words)
        EXPECT_LE(ptToMm(w.xMax), 210 - 20 + 0.05) << w.text.toStdString() << " on page " << w.page;
    const PdfWord *date = findWord(words, QStringLiteral("01.12.2026"), 0);
    ASSERT_TRUE(date);
    EXPECT_NEAR(ptToMm(date->xMax), 190, 0.5) << "the inspection date ends at the right edge";
    const int lastPage = words.back().page;
    int captions = 0;
    for (const PdfWord &w : words)
        captions += w.page == lastPage && w.text == QStringLiteral("Ort,");
    EXPECT_EQ(captions, 2);
    EXPECT_TRUE(findWord(words, QStringLiteral("Auftraggeber"), lastPage));
    EXPECT_TRUE(findWord(words, QStringLiteral("Auftragnehmer"), lastPage));
}
