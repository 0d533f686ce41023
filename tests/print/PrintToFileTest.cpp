// Printing from the main window through Qt's real print dialog on a system without any print queue.

#include "PdfWords.h"

#include "document/Cp1252.h"
#include "settings/SettingsStore.h"
#include "ui/DialogPrompts.h"
#include "ui/MainUnit.h"
#include "ui_MainUnit.h"

#include "TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

struct SeenDialog {
    QStringList printers;
    QString file;
    QString acceptText;
};

// Runs `act` on the next print dialog once it is open, after noting what it offers.
void onNextPrintDialog(SeenDialog &seen, std::function<void(QPrintDialog &)> act)
{
    QTimer::singleShot(0, [&seen, act] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (auto *printers = dialog->findChild<QComboBox *>(QStringLiteral("printers"))) {
            for (int i = 0; i < printers->count(); ++i)
                if (!printers->itemText(i).isEmpty())
                    seen.printers << printers->itemText(i);
        }
        if (auto *file = dialog->findChild<QLineEdit *>(QStringLiteral("filename")))
            seen.file = file->text();
        seen.acceptText = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->text();
        act(*dialog);
    });
}

void accept(QPrintDialog &dialog)
{
    dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
}

// No print queue, and the home folder is ours.
class PrintToFile : public PdfTest {
protected:
    PrintToFile() : PdfTest(Queues::Hidden) {}
    void SetUp() override
    {
        qputenv("HOME", m_dir.path().toUtf8());
        PdfTest::SetUp();
    }
};

// 142 characters, as the list file holds them (Windows-1252).
const char *const kLongName = "Wasserschaden an der Decke im Flur des Obergeschosses \xfc"
                              "ber der Treppe, Putz abgeplatzt und Farbe verf\xe4"
                              "rbt, Ursache vermutlich undichte Leitung";

} // namespace

TEST_F(PrintToFile, withoutAPrintQueueTheDialogPrintsIntoAPdfWhoseTextFollowsTheLayout)
{
    testsupport::writeFile(
        m_dir.filePath(QStringLiteral("mängel.mal")),
        testsupport::crlf({"0", "0", "3", "Riss im Putz", "Fassade", kLongName, "Sanit\xe4r", "Loch", "Dach"}));
    DialogPrompts prompts;
    TMainForm form(prompts, m_dir.path(),
                   std::make_unique<SettingsStore>(m_dir.filePath(QStringLiteral("config")), QStringLiteral("mal")));
    prompts.setParent(&form);
    ASSERT_EQ(form.document().DefectList.entries().size(), 3u);

    SeenDialog first;
    onNextPrintDialog(first, accept);
    form.ui().Drucken1->trigger();
    const QString pdf = m_dir.filePath(QStringLiteral("Mängelliste.pdf"));
    EXPECT_EQ(first.printers.size(), 1) << "only the PDF file is offered: " << first.printers.join(u'|').toStdString();
    EXPECT_EQ(first.file, pdf);
    ASSERT_TRUE(QFile::exists(pdf));

    // No printer, no hardware margins: the printable area is the sheet, the margins are 15 mm.
    const double sheetWidth = form.printer().pageLayout().fullRect(QPageLayout::Millimeter).width();
    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front().text, QStringLiteral("Mängelliste"));
    EXPECT_NEAR(ptToMm(words.front().xMin), 15, 0.05);
    EXPECT_NEAR(ptToMm(words.front().yMin), 15, 0.05);

    const PdfWord *riss = findWord(words, QStringLiteral("Riss"));
    const PdfWord *loch = findWord(words, QStringLiteral("Loch"));
    ASSERT_TRUE(riss && loch);
    std::map<QString, const PdfWord *> assemblies;
    std::vector<const PdfWord *> longWords; // the words between the first and the last row
    for (const PdfWord &w : words) {
        if (w.text == QStringLiteral("Fassade") || w.text == QStringLiteral("Sanitär") ||
            w.text == QStringLiteral("Dach"))
            assemblies[w.text] = &w;
        else if (w.yMin > riss->yMin + 1 && w.yMin < loch->yMin - 1)
            longWords.push_back(&w);
    }
    ASSERT_EQ(assemblies.size(), 3u);
    const double column = ptToMm(assemblies[QStringLiteral("Dach")]->xMin);
    double widestEnd = 0;
    for (const auto &[text, w] : assemblies) {
        EXPECT_NEAR(ptToMm(w->xMin), column, 0.05) << text.toStdString();
        widestEnd = std::max(widestEnd, ptToMm(w->xMax));
    }
    EXPECT_NEAR(widestEnd, sheetWidth, 0.1) << "the widest assembly ends on the edge of the printable area";

    // The long name wraps at blanks into lines from the left margin, none reaching into the gap.
    QStringList text;
    std::vector<double> lineTops;
    for (const PdfWord *w : longWords) {
        text << w->text;
        EXPECT_LE(ptToMm(w->xMax), column - 5 + 0.05) << w->text.toStdString();
        if (lineTops.empty() || w->yMin > lineTops.back() + 1) {
            lineTops.push_back(w->yMin);
            EXPECT_NEAR(ptToMm(w->xMin), 15, 0.05) << w->text.toStdString();
        }
    }
    EXPECT_EQ(text.join(u' ').toStdString(), cp1252::toUnicode(kLongName).toStdString());
    ASSERT_EQ(lineTops.size(), 2u);
    const double line = lineTops[1] - lineTops[0];
    EXPECT_NEAR(assemblies[QStringLiteral("Sanitär")]->yMin, lineTops[0], 0.05) << "the assembly is on the first line";
    EXPECT_NEAR(loch->yMin, lineTops[1] + line, 0.05) << "the next row follows the row's last line";

    // The file chosen is offered again for the rest of the run.
    SeenDialog second;
    const QString other = m_dir.filePath(QStringLiteral("zweite.pdf"));
    onNextPrintDialog(second, [&other](QPrintDialog &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("filename"))->setText(other);
        accept(dialog);
    });
    form.Drucken1Click();
    EXPECT_EQ(second.file, pdf);
    EXPECT_TRUE(QFile::exists(other));

    SeenDialog setup;
    onNextPrintDialog(setup, [](QPrintDialog &dialog) { dialog.reject(); });
    form.ui().Druckereinrichten1->trigger();
    EXPECT_EQ(setup.file, other);
    EXPECT_EQ(setup.acceptText, QStringLiteral("OK"));
    EXPECT_EQ(setup.printers.size(), 1);
}
