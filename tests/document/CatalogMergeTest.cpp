#include "DocumentFixture.h"
#include "TestSupport.h"
#include "document/CatalogMerge.h"
#include "document/ListDocument.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::captions;
using testsupport::crlf;
using testsupport::defect;
using testsupport::fields;
using testsupport::MessageFields;
using testsupport::snapshot;
using testsupport::writeFile;

namespace {

using Names = std::vector<std::string>;

// A document with two assemblies, a catalogue of three defects and a defect list of one.
struct CatalogMergeTest : DocumentFixture {
    void SetUp() override
    {
        DocumentFixture::SetUp();
        doc.AssemblyList.appendEntries({{"Dach", {}}, {"Fassade", {}}});
        doc.DefectCatalog.appendEntries({defect("Riss", "Fassade"), defect("Loch", "Dach"), defect("Riss", "Dach")});
        doc.DefectList.appendEntries({defect("Loch", "Dach")});
    }
    QString file(const QByteArray &bytes) const
    {
        const QString path = dir.filePath(QStringLiteral("andere.mal"));
        writeFile(path, bytes);
        return path;
    }
    // The catalogue as "name/assembly" texts.
    Names catalog() const
    {
        Names out;
        for (const ListEntry &e : doc.DefectCatalog.entries())
            out.push_back(std::string(e.caption()) + '/' + std::string(e.subItem(0)));
        return out;
    }
};

} // namespace

TEST_F(CatalogMergeTest, appendsWhatIsMissingInTheFilesOrderAndOnlyOnce)
{
    const QString path = file(crlf({"4", "Keller", "Dach", "Balkon", "Keller",            // Dach is there
                                    "6", "Riss", "Keller", "Riss", "Fassade",             // Riss/Fassade is there
                                    "Loch", "Fassade", "Riss", "Keller", "Fleck", "Dach", // Riss/Keller twice
                                    "Riss", "Dach",                                       // there
                                    "1", "Neu", "Dach"}));
    const std::optional<catalogmerge::Counts> counts = catalogmerge::takeOver(doc, path, prompts);
    ASSERT_TRUE(counts);
    EXPECT_EQ(*counts, (catalogmerge::Counts{2, 3}));
    EXPECT_EQ(captions(doc.AssemblyList), (Names{"Dach", "Fassade", "Keller", "Balkon"}));
    EXPECT_EQ(catalog(), (Names{"Riss/Fassade", "Loch/Dach", "Riss/Dach", "Riss/Keller", "Loch/Fassade", "Fleck/Dach"}))
        << "the same name under another assembly is a defect of its own";
    EXPECT_EQ(captions(doc.DefectList), (Names{"Loch"})) << "the file's defect list is not taken";
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(CatalogMergeTest, textsAreComparedByteForByte)
{
    const QString path = file(crlf({"2", "dach", "Dach ", "2", "Riss", "Fassade ", "riss", "Fassade", "0"}));
    EXPECT_EQ(catalogmerge::takeOver(doc, path, prompts), (catalogmerge::Counts{2, 2}));
}

TEST_F(CatalogMergeTest, aFileWithNothingNewChangesNothing)
{
    const QByteArray before = snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList});
    const QString path = file(crlf({"1", "Fassade", "1", "Loch", "Dach", "0"}));
    EXPECT_EQ(catalogmerge::takeOver(doc, path, prompts), (catalogmerge::Counts{0, 0}));
    EXPECT_EQ(snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList}), before);
}

TEST_F(CatalogMergeTest, aFileThatCannotBeReadOrIsInvalidChangesNothing)
{
    const QByteArray before = snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList});
    const struct {
        QString path;
        QString text;
    } cases[] = {
        {dir.filePath(QStringLiteral("fehlt.mal")), QStringLiteral("Konnte die Datei nicht öffnen.")},
        {dir.path(), QStringLiteral("Konnte die Datei nicht öffnen.")},
        // Both sections are read in full before the defect list's count turns out broken.
        {file(crlf({"1", "Keller", "1", "Riss", "Keller", "x"})),
         QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).")},
    };
    for (const auto &c : cases) {
        prompts.clear();
        EXPECT_FALSE(catalogmerge::takeOver(doc, c.path, prompts));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(fields(prompts.messages[0]), (MessageFields{QStringLiteral("Fehler beim Öffnen"), c.text}));
        EXPECT_EQ(snapshot({&doc.AssemblyList, &doc.DefectCatalog, &doc.DefectList}), before);
    }
}

TEST(CatalogMergeMessage, countsInSingularAndPlural)
{
    const struct {
        catalogmerge::Counts counts;
        const char *text;
    } cases[] = {
        {{3, 17}, "3 Baugruppen und 17 Mängel übernommen."},
        {{1, 1}, "1 Baugruppe und 1 Mangel übernommen."},
        {{0, 2}, "0 Baugruppen und 2 Mängel übernommen."},
        {{2, 0}, "2 Baugruppen und 0 Mängel übernommen."},
        {{0, 0}, "Der Katalog enthält nichts Neues."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(catalogmerge::message(c.counts), QString::fromUtf8(c.text));

    ScriptedPrompts prompts;
    catalogmerge::report(prompts, {1, 0});
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(fields(prompts.messages[0]),
              (MessageFields{QStringLiteral("Katalog übernehmen"), QStringLiteral("1 Baugruppe und 0 Mängel übernommen."),
                             Prompts::Icon::Information}));
}

TEST_F(CatalogMergeTest, aNewListWithTheCatalogKeepsAssembliesAndCatalogAndAsksForANameOnSave)
{
    writeFile(dir.filePath(QStringLiteral("haus1.mal")), crlf({"1", "Dach", "1", "Riss", "Dach", "1", "Riss", "Dach"}));
    doc.OpenLists(dir.filePath(QStringLiteral("haus1.mal")));
    ReportDetails details;
    details.Objekt = QStringLiteral("Haus 1");
    details.Pruefer = QStringLiteral("M. Muster");
    doc.setReportDetails(details);
    doc.newDocumentWithCatalog();
    ReportDetails kept;
    kept.Pruefer = QStringLiteral("M. Muster");
    EXPECT_EQ(doc.reportDetails(), kept) << "only the inspector goes on to the next building";
    EXPECT_EQ(captions(doc.AssemblyList), (Names{"Dach"}));
    EXPECT_EQ(catalog(), (Names{"Riss/Dach"}));
    EXPECT_EQ(doc.DefectList.count(), 0);
    EXPECT_TRUE(doc.CurrentFileName().isEmpty());
    EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - Kein Name"));
    EXPECT_TRUE(doc.statusText().startsWith(QStringLiteral("0 Mängel"))) << qPrintable(doc.statusText());

    prompts.clear();
    prompts.files = {dir.filePath(QStringLiteral("haus2.mal"))};
    ASSERT_TRUE(doc.Save());
    ASSERT_EQ(prompts.dialogs.size(), 1u) << "the first save asks for a name";
    EXPECT_EQ(doc.CurrentFileName(), dir.filePath(QStringLiteral("haus2.mal")));
    EXPECT_EQ(testsupport::readFile(dir.filePath(QStringLiteral("haus2.mal"))),
              crlf({"1", "Dach", "1", "Riss", "Dach", "0"}));
}
