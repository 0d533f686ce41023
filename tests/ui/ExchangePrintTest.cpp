#include "WindowFixture.h"
#include "ui_MainUnit.h"

#include <QFile>
#include <QPrinter>
#include <QProcess>

using Answer = Prompts::Answer;

namespace {
using ExchangePrint = WindowFixture;
}

TEST_F(ExchangePrint, csvExportAndImportRememberTheirNamesAndOnlyAppend)
{
    createWithStarter();
    const QString csv = path(QStringLiteral("liste.csv"));
    form->CSVExport1Click(); // cancelled
    EXPECT_FALSE(QFile::exists(csv));
    ASSERT_EQ(prompts.dialogs.size(), 1u);
    EXPECT_EQ(prompts.dialogs[0].filter,
              QStringLiteral("CSV (Trennzeichen-getrennt) (*.csv);;CSV UTF-8 (Trennzeichen-getrennt) (*.csv)"));
    EXPECT_EQ(prompts.dialogs[0].defaultSuffix, QStringLiteral("csv"));
    EXPECT_TRUE(prompts.dialogs[0].confirmOverwrite) << "the export asks before replacing a file";

    prompts.files = {csv};
    form->ui().CSVExport1->trigger();
    EXPECT_EQ(testsupport::readFile(csv), QByteArray("\"Alt\";\"Dach\"\r\n"));
    form->CSVExport1Click();
    EXPECT_EQ(prompts.dialogs.back().startPath, csv) << "the last name is offered again";

    const QString title = form->windowTitle();
    prompts.files = {csv};
    form->ui().CSVImport1->trigger();
    EXPECT_EQ(captions(doc().DefectList), (std::vector<std::string>{"Alt", "Alt"}));
    EXPECT_EQ(form->windowTitle(), title);
    form->CSVImport1Click();
    EXPECT_EQ(prompts.dialogs.back().startPath, csv);
    EXPECT_FALSE(prompts.dialogs.back().confirmOverwrite);

    prompts.files = {path(QStringLiteral("fehlt.csv"))};
    form->CSVImport1Click();
    EXPECT_EQ(prompts.texts().back(), QStringLiteral("Konnte Datei nicht öffnen."));
    EXPECT_TRUE(prompts.messages.back().caption.isEmpty());
}

TEST_F(ExchangePrint, printingRunsOnlyAfterThePrintDialogAndWritesThePage)
{
    createWithStarter();
    const QString pdf = path(QStringLiteral("druck.pdf"));
    form->Drucken1Click(); // cancelled
    EXPECT_EQ(prompts.printDialogs, 1);

    prompts.printAnswer = [&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    form->ui().Drucken1->trigger();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(form->printer().docName(), QStringLiteral("Mängelliste"));

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (text.waitForFinished(20000) && text.exitCode() == 0) {
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QStringLiteral("Mängelliste")));
        EXPECT_TRUE(out.contains(QStringLiteral("Alt")));
    }
}

TEST_F(ExchangePrint, aPrintIntoAMissingFolderEndsWithTheJobsMessage)
{
    createWithStarter();
    prompts.printAnswer = [this](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path(QStringLiteral("fehlt/druck.pdf")));
        return true;
    };
    form->Drucken1Click();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Tessarol 1.2"));
    EXPECT_TRUE(prompts.messages[0].text.startsWith(QStringLiteral("Drucken fehlgeschlagen: ")));
}

TEST_F(ExchangePrint, theFontButtonAndPrinterSetupUseTheirDialogs)
{
    createWithStarter();
    form->ui().FontBtn->click();
    EXPECT_EQ(prompts.fontDialogs, 1);
    EXPECT_EQ(form->printFont().name, QStringLiteral("Arial")) << "Cancel keeps the font";
    prompts.fontChoice = [](PrintFont &font) { font.size = 14; };
    form->FontBtnClick();
    EXPECT_EQ(form->printFont().size, 14);
    form->ui().Druckereinrichten1->trigger();
    EXPECT_EQ(prompts.setupDialogs, 1);
}

TEST_F(ExchangePrint, absurdPrintSettingsShowAMessageAndPrintNothing)
{
    createWithStarter();
    const QString pdf = path(QStringLiteral("druck.pdf"));
    prompts.printAnswer = [&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    form->printFont().size = 0;
    form->Drucken1Click();
    EXPECT_FALSE(QFile::exists(pdf));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::fields(prompts.messages[0]),
              (testsupport::MessageFields{QStringLiteral("Drucken"),
                                          QStringLiteral("Die Schriftgröße muss zwischen 1 und 9999 Punkt liegen.")}));
}

TEST_F(ExchangePrint, theCsvExportWritesTheTypeChosenAndOffersItAgain)
{
    createWithStarter();
    doc().DefectList.append({"zwei\nZeilen \xe4", {"Dach"}});
    const QString csv = path(QStringLiteral("utf8.csv"));
    prompts.files = {csv};
    prompts.types = {1};
    form->CSVExport1Click();
    EXPECT_EQ(prompts.dialogs.back().selectedType, 0) << "the first type at the start";
    EXPECT_EQ(testsupport::readFile(csv), QByteArray("\xEF\xBB\xBF\"Alt\";\"Dach\"\r\n\"zwei\nZeilen \xc3\xa4\";\"Dach\"\r\n"));

    prompts.files = {csv};
    prompts.answers = {Prompts::Answer::Yes}; // replace the file
    form->CSVExport1Click();
    EXPECT_EQ(prompts.dialogs.back().selectedType, 1) << "the type chosen last is offered again";
    EXPECT_TRUE(testsupport::readFile(csv).startsWith("\xEF\xBB\xBF"));
    prompts.files = {csv};
    prompts.types = {0};
    prompts.answers = {Prompts::Answer::Yes};
    form->CSVExport1Click();
    EXPECT_EQ(testsupport::readFile(csv), QByteArray("\"Alt\";\"Dach\"\r\n\"zwei\\nZeilen \xe4\";\"Dach\"\r\n"));
}
