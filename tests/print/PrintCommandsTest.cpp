// The print commands end to end on a system without any print queue: the PDF command, printing into
// a file, and the print preview, checked against the words of the PDF files they write.
#include "PdfWords.h"
#include "WindowFixture.h"

#include "ui/PrintCommands.h"
#include "ui/PrintPreviewDialog.h"
#include "ui_MainUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kA4Width = 210, kA4Height = 297;

std::vector<ListEntry> numberedRows(int count)
{
    std::vector<ListEntry> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({"Mangel " + std::to_string(i), {i % 2 ? "Dach" : "Keller"}});
    return rows;
}

// The words of each page, sorted.
std::vector<QStringList> pageWords(const std::vector<PdfWord> &words)
{
    std::vector<QStringList> pages;
    for (const PdfWord &w : words) {
        pages.resize(std::max<std::size_t>(pages.size(), static_cast<std::size_t>(w.page) + 1));
        pages[static_cast<std::size_t>(w.page)] << w.text;
    }
    for (QStringList &page : pages)
        page.sort();
    return pages;
}

// The words of the footer "Seite x von y" on a page.
std::vector<const PdfWord *> footerOn(const std::vector<PdfWord> &words, int page)
{
    std::vector<const PdfWord *> footer;
    for (const PdfWord &w : words)
        if (w.page == page && w.text == QStringLiteral("Seite"))
            footer.push_back(&w);
    if (footer.size() != 1)
        return {};
    for (const PdfWord &w : words)
        if (&w != footer[0] && w.page == page && std::abs(w.yMin - footer[0]->yMin) < 0.01)
            footer.push_back(&w);
    return footer;
}

class PrintCommandsTest : public PdfTest {
protected:
    PrintCommandsTest() : PdfTest(Queues::Hidden)
    {
        m_printout.rows = &m_rows;
        m_printout.margins = {15, 15, 20, 15};
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // What the folder holds besides the given files: temporary files left behind, say.
    QStringList strayFiles(const QStringList &expected) const
    {
        QStringList stray = QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : expected)
            stray.removeAll(name);
        return stray;
    }
    // The print dialog's choice: printing into the given file.
    void printInto(const QString &file)
    {
        m_prompts.printAnswer = [file](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        };
    }

    ScriptedWindowPrompts m_prompts;
    std::vector<ListEntry> m_rows = numberedRows(60);
    Printout m_printout;
    PrintCommands m_commands{m_prompts, [this] { return m_printout; }, nullptr};
};

} // namespace

TEST_F(PrintCommandsTest, thePdfCommandWritesTheFramedPrintoutOnA4WithoutAPrintDialog)
{
    m_printout.frame = PageFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};
    const QString pdf = path(QStringLiteral("Begehung.pdf"));
    m_prompts.files = {pdf};
    ASSERT_TRUE(m_commands.savePdf());
    EXPECT_EQ(m_prompts.printDialogs, 0);
    ASSERT_EQ(m_prompts.dialogs.size(), 1u);
    EXPECT_EQ(m_prompts.dialogs[0].filter, QStringLiteral("PDF-Dateien (*.pdf)"));
    EXPECT_EQ(m_prompts.dialogs[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_TRUE(m_prompts.dialogs[0].confirmOverwrite);
    EXPECT_TRUE(m_prompts.dialogs[0].startPath.isEmpty());

    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back().page, 1) << "two pages";
    for (const int page : {0, 1}) {
        const PdfWord *name = findWord(words, QStringLiteral("Begehung"), page);
        const PdfWord *date = findWord(words, QStringLiteral("07.12.2026"), page);
        const PdfWord *heading = findWord(words, QStringLiteral("Baugruppe"), page);
        const auto footer = footerOn(words, page);
        ASSERT_TRUE(name && date && heading) << page;
        ASSERT_EQ(footer.size(), 4u) << page;
        EXPECT_NEAR(ptToMm(name->xMin), 15, 0.1) << page;
        EXPECT_NEAR(ptToMm(name->yMin), 15, 0.1) << page;
        EXPECT_NEAR(ptToMm(date->xMax), kA4Width - 20, 0.1) << "the date ends at the right margin";
        EXPECT_NEAR(ptToMm(date->yMin), 15, 0.1) << page;
        EXPECT_EQ(footer[1]->text + footer[2]->text + footer[3]->text, QStringLiteral("%1von2").arg(page + 1));
        EXPECT_NEAR(ptToMm((footer[0]->xMin + footer[3]->xMax) / 2), (15 + kA4Width - 20) / 2, 0.2)
            << "the footer is centred between the margins";
        EXPECT_NEAR(ptToMm(footer[0]->yMax), kA4Height - 15, 1.0) << "the footer stands on the bottom limit";
        EXPECT_GT(heading->yMin, name->yMax) << "the headings are below the header";
    }
    EXPECT_NE(findWord(words, QStringLiteral("Mängelliste"), 0), nullptr);
    EXPECT_EQ(findWord(words, QStringLiteral("Mängelliste"), 1), nullptr);
    const auto isNumber = [](const PdfWord &w) {
        return w.text.endsWith(u'.') && w.text.chopped(1).toInt() > 0;
    };
    const auto onFirstPage = std::count_if(words.begin(), words.end(),
                                           [&](const PdfWord &w) { return w.page == 0 && isNumber(w); });
    const auto second = std::find_if(words.begin(), words.end(), [&](const PdfWord &w) { return w.page == 1 && isNumber(w); });
    ASSERT_NE(second, words.end());
    const PdfWord *first = &*second;
    EXPECT_EQ(first->text, QStringLiteral("%1.").arg(onFirstPage + 1)) << "the numbers go on across the pages";
    EXPECT_GT(first->yMin, findWord(words, QStringLiteral("Baugruppe"), 1)->yMax - 0.1) << "rows start below the headings";

    m_commands.savePdf(); // cancelled
    EXPECT_EQ(m_prompts.dialogs.back().startPath, pdf) << "the file chosen last is offered again";
}

TEST_F(PrintCommandsTest, printingIntoAFilePrintsThePagesChosenInTheDialogWithTheirNumbersAndThePdfCommandAll)
{
    m_printout.frame = PageFrame{QStringLiteral("Begehung"), QStringLiteral("07.12.2026")};
    const QString pdf = path(QStringLiteral("seite2.pdf"));
    m_prompts.printAnswer = [pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 2);
        return true;
    };
    ASSERT_TRUE(m_commands.print());
    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.back().page, 0) << "one page";
    const auto footer = footerOn(words, 0);
    ASSERT_EQ(footer.size(), 4u);
    EXPECT_EQ(footer[1]->text + footer[2]->text + footer[3]->text, QStringLiteral("2von2"));
    EXPECT_EQ(findWord(words, QStringLiteral("Mängelliste"), 0), nullptr) << "page 1 with the title is left out";
    EXPECT_EQ(m_commands.printer().printRange(), QPrinter::AllPages) << "the printer picks no pages itself";
    EXPECT_TRUE(m_commands.printer().pageRanges().isEmpty());

    const QString all = path(QStringLiteral("alle.pdf"));
    m_prompts.files = {all};
    m_commands.printer().setPrintRange(QPrinter::PageRange);
    m_commands.printer().setFromTo(2, 2);
    ASSERT_TRUE(m_commands.savePdf());
    EXPECT_EQ(pdfWords(all).back().page, 1) << "the PDF command prints every page";
}

TEST_F(PrintCommandsTest, thePdfPageIsA4PortraitUnlessAPrinterWithOtherPaperWasChosen)
{
    m_printout.frame = PageFrame{QStringLiteral("Quer"), QStringLiteral("07.12.2026")};
    EXPECT_EQ(m_commands.pdfPage().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(m_commands.pdfPage().orientation(), QPageLayout::Portrait);

    m_commands.printer().setPageSize(QPageSize(QPageSize::Letter));
    EXPECT_EQ(m_commands.pdfPage().pageSize().id(), QPageSize::A4) << "no printer was chosen in this run";
    m_prompts.setupAnswer = [](QPrinter &printer) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    m_commands.setup();
    EXPECT_EQ(m_commands.pdfPage().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(m_commands.pdfPage().orientation(), QPageLayout::Landscape);

    const QString pdf = path(QStringLiteral("quer.pdf"));
    m_prompts.files = {pdf};
    ASSERT_TRUE(m_commands.savePdf());
    const auto words = pdfWords(pdf);
    const PdfWord *date = findWord(words, QStringLiteral("07.12.2026"), 0);
    ASSERT_NE(date, nullptr);
    EXPECT_NEAR(ptToMm(date->xMax), 279.4 - 20, 0.1) << "the date ends at the right margin of a landscape letter page";
}

// A print into a file is made in memory and written in one checked step: a full disk or a missing
// folder leaves nothing under the chosen name, and an older file there stays as it was.
TEST_F(PrintCommandsTest, aPdfThatCannotBeWrittenCompletelyLeavesNoFileBehind)
{
    m_rows = numberedRows(500);
    const QByteArray old = "%PDF-alt";
    const QString existing = path(QStringLiteral("alt.pdf"));
    testsupport::writeFile(existing, old);
    const struct {
        const char *what;
        QString file;
        bool fullDisk;
        bool viaPrintDialog;
        QString detail;
    } cases[] = {
        {"PDF command, full disk", path(QStringLiteral("voll.pdf")), true, false,
         QStringLiteral("voll.pdf: Datei zu groß")},
        {"print dialog into a file, full disk", path(QStringLiteral("voll2.pdf")), true, true,
         QStringLiteral("voll2.pdf: Datei zu groß")},
        {"PDF command over an older file, full disk", existing, true, false,
         QStringLiteral("alt.pdf: Datei zu groß")},
        {"PDF command, missing folder", path(QStringLiteral("fehlt/liste.pdf")), false, false,
         QStringLiteral("liste.pdf: Datei oder Verzeichnis nicht gefunden")},
    };
    for (const auto &c : cases) {
        m_prompts.clear();
        m_prompts.files = {c.file};
        const bool replacing = c.file == existing; // the question whether to replace it comes first
        if (replacing)
            m_prompts.answers = {Prompts::Answer::Yes};
        printInto(c.file);
        const auto run = [&] { return c.viaPrintDialog ? m_commands.print() : m_commands.savePdf(); };
        {
            std::optional<testsupport::FullDisk> full;
            if (c.fullDisk)
                full.emplace(4096);
            EXPECT_FALSE(run()) << c.what;
        }
        ASSERT_EQ(m_prompts.messages.size(), replacing ? 2u : 1u) << c.what;
        EXPECT_EQ(testsupport::withDetail(m_prompts.messages.back()),
                  (testsupport::MessageFields{QStringLiteral("Tessarol 1.2"),
                                              QStringLiteral("Drucken fehlgeschlagen: Der Druckauftrag für die Datei "
                                                             "\"%1\" konnte nicht abgeschlossen werden.")
                                                  .arg(c.file),
                                              Prompts::Icon::Error, Prompts::Buttons::Ok, c.detail}))
            << c.what;
        if (c.file == existing)
            EXPECT_EQ(testsupport::readFile(existing), old) << c.what;
        else
            EXPECT_FALSE(QFile::exists(c.file)) << c.what;
        EXPECT_EQ(strayFiles({QStringLiteral("alt.pdf")}), QStringList()) << c.what;
    }
    // The same file without the full disk is whole: a reader finds its last row.
    m_prompts.files = {path(QStringLiteral("voll.pdf"))};
    ASSERT_TRUE(m_commands.savePdf());
    const auto words = pdfWords(path(QStringLiteral("voll.pdf")));
    ASSERT_FALSE(words.empty());
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const PdfWord &w) { return w.text == QStringLiteral("500"); }));
}

TEST_F(PrintCommandsTest, thePreviewShowsThePagesItsPrintButtonPrints)
{
    m_printout.frame = PageFrame{QStringLiteral("Kein Name"), QStringLiteral("07.12.2026")};
    const QString pdf = path(QStringLiteral("druck.pdf"));
    printInto(pdf);
    int previewPages = 0;
    std::vector<QStringList> previewWords;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<PrintPreviewDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        previewPages = dialog->pageCount();
        for (const QStringList &page : dialog->pageTexts()) {
            previewWords.push_back(page.join(u' ').split(u' ', Qt::SkipEmptyParts));
            previewWords.back().sort();
        }
        for (QAction *a : dialog->findChildren<QAction *>())
            if (a->text() == QStringLiteral("Drucken..."))
                a->trigger();
    });
    m_commands.preview();
    EXPECT_EQ(m_prompts.printDialogs, 1) << "the print button runs the print command";

    const auto words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(previewPages, words.back().page + 1);
    EXPECT_EQ(previewWords, pageWords(words));
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(PrintCommandsTest, thePreviewRefusesSettingsThatCannotPrint)
{
    m_printout.font.size = 5000; // taller than any page of the PDF printer
    QTimer::singleShot(0, [] {
        if (QWidget *w = QApplication::activeModalWidget())
            w->close();
    });
    m_commands.preview();
    ASSERT_EQ(m_prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::fields(m_prompts.messages[0]),
              (testsupport::MessageFields{QStringLiteral("Drucken"), QStringLiteral("Die Schrift ist zu groß für die Seite.")}));
}

namespace {
using PrintMenu = WindowFixture;
}

TEST_F(PrintMenu, theFileMenuOffersPreviewAndPdfBesidePrintingAndTheSettingsPageTheFrame)
{
    createWithStarter();
    QStringList texts;
    for (QAction *a : form->ui().Datei1->actions())
        texts << a->text();
    const auto at = texts.indexOf(QStringLiteral("&Drucken..."));
    ASSERT_GT(at, 1);
    EXPECT_EQ(texts[at - 1], QStringLiteral("Seiten&ansicht..."));
    EXPECT_EQ(texts[at - 2], QStringLiteral("Be&richtsangaben..."));
    EXPECT_EQ(texts[at + 1], QStringLiteral("Als &PDF speichern..."));

    EXPECT_FALSE(form->printout().frame) << "off at the start";
    form->ui().SeitenkopfCheck->setChecked(true);
    const std::optional<PageFrame> frame = form->printout().frame;
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->documentName, QStringLiteral("mängel"));
    EXPECT_EQ(frame->date, QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    EXPECT_EQ(form->printout().rows, &doc().DefectList.entries());
    EXPECT_TRUE(form->currentProps().pageFrame);
}
