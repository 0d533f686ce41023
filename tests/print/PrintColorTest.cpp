// The printout is drawn in the colour of the print font.
#include "print/PrintLayout.h"
#include "print/QPrinterCanvas.h"

#include <QDir>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The page, printed into a PDF and rendered at 40 dpi.
QImage printedPage(QTemporaryDir &dir, std::int32_t color)
{
    const QString pdf = dir.filePath(QStringLiteral("farbe%1.pdf").arg(color));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QPrinterCanvas canvas(printer);
        PrintFont font;
        font.color = color;
        font.size = 20;
        printDefectList(canvas, {{"Riss im Putz", {"Fassade"}}, {"Dachrinne undicht", {"Dach"}}}, PrintMargins{}, font);
    }
    const QString prefix = dir.filePath(QStringLiteral("seite%1").arg(color));
    QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"),
                                                   QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

// The pixels clearly in the colour of `channel` (0 red, 1 green, 2 blue), and the dark ones.
struct Ink {
    int colored = 0, dark = 0;
};

Ink inkOf(const QImage &page, int channel)
{
    Ink ink;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            const int rgb[] = {c.red(), c.green(), c.blue()};
            const int others = std::max(rgb[(channel + 1) % 3], rgb[(channel + 2) % 3]);
            ink.colored += rgb[channel] > 150 && others < 100 ? 1 : 0;
            ink.dark += c.lightness() < 80 ? 1 : 0;
        }
    }
    return ink;
}

} // namespace

TEST(PrintColor, theRowsAndTheTitleAreDrawnInTheFontsColour)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed (apt-get install poppler-utils)";
    QTemporaryDir dir;
    const QImage red = printedPage(dir, 0x0000FF);
    const QImage windowText = printedPage(dir, PrintFont::kWindowTextColor);
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(windowText.isNull());
    EXPECT_GT(inkOf(red, 0).colored, 50);
    EXPECT_EQ(inkOf(red, 0).dark, 0);
    EXPECT_EQ(inkOf(windowText, 0).colored, 0);
    EXPECT_GT(inkOf(windowText, 0).dark, 50) << "the window-text colour prints black";
}
