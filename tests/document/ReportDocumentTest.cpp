// The report details travel with the list file: Open, reload, Save, Save As and New, and what a
// details file that cannot be read does to them.
#include "DocumentFixture.h"
#include "TestSupport.h"
#include "document/ListDocument.h"
#include "document/ReportFile.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::crlf;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

ReportDetails someDetails(const char *objekt = "Wohnhaus Lindenweg 4")
{
    ReportDetails d;
    d.Objekt = QString::fromUtf8(objekt);
    d.Anschrift = QStringLiteral("Lindenweg 4\n12345 Musterstädt");
    d.BegehungAm = QStringLiteral("03.11.2026");
    return d;
}

struct ReportDocumentTest : DocumentFixture {
    // A list file with one defect, and beside it a details file of these bytes (none when null).
    void writeList(const char *name, const QByteArray &details = {})
    {
        writeFile(path(name), crlf({"0", "0", "1", "Riss", "Fassade"}));
        if (!details.isNull())
            writeFile(reportfile::pathFor(path(name)), details);
    }
};

TEST_F(ReportDocumentTest, openReadsTheDetailsBesideTheListFile)
{
    QSignalSpy changed(&doc, &ListDocument::reportDetailsChanged);
    writeList("Begehung.mal", reportfile::encode(someDetails()));
    doc.OpenLists(path("Begehung.mal"));
    EXPECT_EQ(doc.reportDetails(), someDetails());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(prompts.messages.empty());

    writeList("ohne.mal");
    doc.OpenLists(path("ohne.mal"));
    EXPECT_TRUE(doc.reportDetails().isEmpty()) << "a list without a details file has none";
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ReportDocumentTest, aListFileThatCannotBeOpenedKeepsTheDetails)
{
    writeList("a.mal", reportfile::encode(someDetails()));
    doc.OpenLists(path("a.mal"));
    doc.OpenLists(path("fehlt.mal"));
    EXPECT_EQ(doc.reportDetails(), someDetails());
}

TEST_F(ReportDocumentTest, saveWritesADetailsFileOnlyForDetails)
{
    const QString report = path("a.bericht");
    ASSERT_TRUE(doc.SaveLists(path("a.mal")));
    EXPECT_FALSE(QFile::exists(report)) << "no details, no file";

    doc.setReportDetails(someDetails());
    ASSERT_TRUE(doc.SaveLists(path("a.mal")));
    EXPECT_EQ(readFile(report), reportfile::encode(someDetails()));

    doc.setReportDetails({});
    ASSERT_TRUE(doc.SaveLists(path("a.mal")));
    EXPECT_FALSE(QFile::exists(report)) << "emptied details remove their file";
    EXPECT_TRUE(QFile::exists(path("a.mal")));
}

TEST_F(ReportDocumentTest, saveAsWritesUnderTheNewNameAndLeavesTheOldFile)
{
    writeList("alt.mal", reportfile::encode(someDetails()));
    doc.OpenLists(path("alt.mal"));
    prompts.files.push_back(path("neu.mal"));
    ASSERT_TRUE(doc.SaveAs());
    EXPECT_EQ(readFile(path("neu.bericht")), reportfile::encode(someDetails()));
    EXPECT_EQ(readFile(path("alt.bericht")), reportfile::encode(someDetails()));

    // Empty details saved over a list whose details file is stale remove that file.
    writeList("fremd.mal", reportfile::encode(someDetails("Fremd")));
    doc.newDocument();
    prompts.files.push_back(path("fremd.mal"));
    prompts.answers.push_back(Prompts::Answer::Yes); // replace it
    ASSERT_TRUE(doc.SaveAs());
    EXPECT_FALSE(QFile::exists(path("fremd.bericht")));
}

TEST_F(ReportDocumentTest, newEmptiesTheDetails)
{
    writeList("a.mal", reportfile::encode(someDetails()));
    doc.OpenLists(path("a.mal"));
    QSignalSpy changed(&doc, &ListDocument::reportDetailsChanged);
    doc.newDocument();
    EXPECT_TRUE(doc.reportDetails().isEmpty());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(readFile(path("a.bericht")), reportfile::encode(someDetails())) << "the file is not touched";
}

TEST_F(ReportDocumentTest, aReloadOfTheDefaultFileReadsItsDetails)
{
    writeList("mängel.mal", reportfile::encode(someDetails()));
    doc.OpenLists(doc.defaultListFile());
    writeFile(reportfile::pathFor(doc.defaultListFile()), reportfile::encode(someDetails("Anders")));
    testsupport::setFileTime(doc.defaultListFile(), 1'000'000'000);
    prompts.answers.push_back(Prompts::Answer::Yes);
    doc.checkDefaultFile();
    EXPECT_EQ(doc.reportDetails(), someDetails("Anders"));
}

struct BadFile {
    const char *name;
    QByteArray bytes;
    const char *reason;
};

struct UnreadableDetails : ReportDocumentTest, ::testing::WithParamInterface<BadFile> {};

TEST_P(UnreadableDetails, openTheListStillAndKeepTheFileUntilDetailsAreEntered)
{
    const BadFile &bad = GetParam();
    writeList("Begehung.mal", reportfile::encode(someDetails("Vorher")));
    doc.OpenLists(path("Begehung.mal"));
    writeList("b.mal", bad.bytes);
    doc.OpenLists(path("b.mal"));

    EXPECT_EQ(doc.DefectList.count(), 1) << "the list file opens";
    EXPECT_EQ(doc.CurrentFileName(), path("b.mal"));
    EXPECT_TRUE(doc.reportDetails().isEmpty()) << "the details of the file before are gone";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Fehler beim Öffnen"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Die Berichtsangaben konnten nicht gelesen werden."));
    EXPECT_EQ(prompts.messages[0].informative, QStringLiteral("b.bericht: ") + QString::fromUtf8(bad.reason));

    ASSERT_TRUE(doc.SaveLists(path("b.mal")));
    EXPECT_EQ(readFile(path("b.bericht")), bad.bytes) << "neither removed nor overwritten";

    doc.setReportDetails(someDetails());
    ASSERT_TRUE(doc.SaveLists(path("b.mal")));
    EXPECT_EQ(readFile(path("b.bericht")), reportfile::encode(someDetails())) << "details entered replace it";
    doc.setReportDetails({});
    ASSERT_TRUE(doc.SaveLists(path("b.mal")));
    EXPECT_FALSE(QFile::exists(path("b.bericht"))) << "from then on it is the document's own";
}

const BadFile kBadFiles[] = {
    {"binary",
     QByteArray("\x7f"
                "ELF\x02\x01\x01\x00\x00\xff",
                10),
     "Keine UTF-8-Textdatei"},
    {"latin1", "Maengelliste-Bericht 1\nObjekt=M\xe4ngel\n", "Keine UTF-8-Textdatei"},
    {"huge", QByteArray("Maengelliste-Bericht 1\nSchlusstext=") + QByteArray(reportfile::kMaxSize, 'x'),
     "Größer als 1 MB"},
    {"laterVersion", "Maengelliste-Bericht 2\nObjekt=X\n", "Unbekannte Formatversion"},
};

INSTANTIATE_TEST_SUITE_P(Report, UnreadableDetails, ::testing::ValuesIn(kBadFiles),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(ReportDocumentTest, aFailedDetailsWriteKeepsTheListSavedAndTheDetails)
{
    // A folder where the details file should be: the list file is written, the details are not.
    QDir(dir.path()).mkdir(QStringLiteral("a.bericht"));
    doc.setReportDetails(someDetails());
    EXPECT_FALSE(doc.SaveLists(path("a.mal"))) << "the save as a whole failed";
    EXPECT_EQ(readFile(path("a.mal")), crlf({"0", "0", "0"}));
    EXPECT_EQ(doc.CurrentFileName(), path("a.mal"));
    EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - a.mal"));
    EXPECT_EQ(doc.reportDetails(), someDetails());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Fehler beim Speichern"));
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Die Berichtsangaben konnten nicht gespeichert werden."));
    EXPECT_EQ(prompts.messages[0].informative, QStringLiteral("a.bericht: Ist ein Verzeichnis"));

    // The save question's Yes then does not let the document go.
    prompts.answers.push_back(Prompts::Answer::Yes);
    EXPECT_FALSE(doc.SaveFirstPrompt(QStringLiteral("Datei: Beenden...")));
}

} // namespace
