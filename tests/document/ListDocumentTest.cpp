#include "DocumentFixture.h"
#include "TestSupport.h"
#include "document/ListDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

using testsupport::crlf;
using testsupport::fields;
using testsupport::MessageFields;
using testsupport::readFile;
using testsupport::withDetail;
using testsupport::writeFile;

namespace {

const QString kOpenFailed = QStringLiteral("Konnte die Datei nicht öffnen.");
const QString kBadFormat = QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).");
const QString kCannotCreate = QStringLiteral("Konnte die Datei nicht erstellen.");

struct ListDocumentTest : DocumentFixture {
    void loadExample()
    {
        writeFile(path(QStringLiteral("a.mal")), crlf({"2", "Dach", "Fassade", "1", "Riss", "Fassade", "1", "Loch", "Dach"}));
        doc.OpenLists(path(QStringLiteral("a.mal")));
        prompts.clear();
    }
};

} // namespace

TEST_F(ListDocumentTest, openNamesTheDocumentAndRefreshesTheStatusLine)
{
    QSignalSpy status(&doc, &ListDocument::statusTextChanged);
    loadExample();
    EXPECT_EQ(doc.AssemblyList.count(), 2);
    EXPECT_EQ(doc.DefectCatalog.count(), 1);
    EXPECT_EQ(doc.DefectList.count(), 1);
    EXPECT_EQ(doc.CurrentFileName(), path(QStringLiteral("a.mal")));
    EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - a.mal"));
    EXPECT_EQ(doc.statusText(), QStringLiteral("1 Mängel auf der Mängelliste; Gesamtpreis: 0,00 EUR"));
    EXPECT_EQ(status.count(), 1);
}

TEST_F(ListDocumentTest, aFileThatCannotBeOpenedLeavesTheDocumentAsItWas)
{
    loadExample();
    const struct {
        QString path;
        QString detail; // the file's name and the reason
    } rows[] = {
        {path(QStringLiteral("fehlt.mal")), QStringLiteral("fehlt.mal: Datei oder Verzeichnis nicht gefunden")},
        {dir.path(), QFileInfo(dir.path()).fileName() + QStringLiteral(": Ist ein Verzeichnis")},
        {QString(), QStringLiteral("Datei oder Verzeichnis nicht gefunden")},
    };
    for (const auto &[bad, detail] : rows) {
        doc.OpenLists(bad);
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(withDetail(prompts.messages[0]),
                  (MessageFields{QStringLiteral("Fehler beim Öffnen"), kOpenFailed, Prompts::Icon::Error,
                                 Prompts::Buttons::Ok, detail}));
        EXPECT_EQ(doc.AssemblyList.count(), 2) << "the open document is kept";
        EXPECT_EQ(doc.DefectList.count(), 1);
        EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - a.mal"));
        EXPECT_EQ(doc.CurrentFileName(), path(QStringLiteral("a.mal")));
        prompts.clear();
    }
}

TEST_F(ListDocumentTest, invalidContentKeepsWhatWasReadAndNamesTheFile)
{
    loadExample();
    writeFile(path(QStringLiteral("kurz.mal")), crlf({"3", "A"}));
    doc.OpenLists(path(QStringLiteral("kurz.mal")));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(withDetail(prompts.messages[0]), (MessageFields{QStringLiteral("Fehler beim Öffnen"), kBadFormat,
                                                              Prompts::Icon::Error, Prompts::Buttons::Ok,
                                                              QStringLiteral("kurz.mal: Ungültiges Format")}));
    EXPECT_EQ(doc.AssemblyList.count(), 3);
    EXPECT_EQ(doc.DefectCatalog.count(), 0);
    EXPECT_EQ(doc.DefectList.count(), 0);
    EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - kurz.mal"));
    EXPECT_EQ(doc.statusText(), QStringLiteral("0 Mängel auf der Mängelliste; Gesamtpreis: 0,00"));

    writeFile(path(QStringLiteral("leer.mal")), {});
    prompts.clear();
    doc.OpenLists(path(QStringLiteral("leer.mal")));
    EXPECT_EQ(prompts.texts(), QStringList{kBadFormat});
    EXPECT_EQ(doc.AssemblyList.count(), 0);
}

TEST_F(ListDocumentTest, saveWritesTheFileAndNamesTheDocument)
{
    loadExample();
    const QString target = path(QStringLiteral("neu.mal"));
    EXPECT_TRUE(doc.SaveLists(target));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(readFile(target), crlf({"2", "Dach", "Fassade", "1", "Riss", "Fassade", "1", "Loch", "Dach"}));
    EXPECT_EQ(doc.CurrentFileName(), target);
    EXPECT_EQ(doc.title(), QStringLiteral("Quenbrik Mängelliste 1.0 - neu.mal"));
}

TEST_F(ListDocumentTest, aFailedSaveKeepsTheOldFileNameAndTitle)
{
    loadExample();
    const QString before = doc.title();
    for (const QString &bad : {path(QStringLiteral("fehlt/neu.mal")), dir.path()}) {
        EXPECT_FALSE(doc.SaveLists(bad));
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(fields(prompts.messages[0]), (MessageFields{QStringLiteral("Fehler beim Speichern"), kCannotCreate}));
        EXPECT_EQ(doc.title(), before);
        EXPECT_EQ(doc.CurrentFileName(), path(QStringLiteral("a.mal")));
        prompts.clear();
    }
}

TEST_F(ListDocumentTest, aFullDiskLeavesThePreviousFileUntouched)
{
    loadExample();
    for (int i = 0; i < 5000; ++i)
        doc.DefectList.append({"Ein recht langer Mangel Nummer " + std::to_string(i), {"Baugruppe"}});
    const QString target = path(QStringLiteral("a.mal"));
    const QByteArray previous = readFile(target);

    bool saved = true;
    {
        const testsupport::FullDisk full(4096);
        saved = doc.SaveLists(target);
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(prompts.texts(), QStringList{kCannotCreate});
    EXPECT_EQ(readFile(target), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.mal")}) << "no temporary file left";
}

TEST_F(ListDocumentTest, loadAndSaveRefreshTheDefaultFileStamp)
{
    const QString def = doc.defaultListFile();
    EXPECT_TRUE(def.endsWith(QStringLiteral("/mängel.mal")));
    doc.OpenLists(path(QStringLiteral("fehlt.mal")));
    EXPECT_EQ(doc.DefaultFileAge, FileStamp::missing());

    loadExample();
    EXPECT_TRUE(doc.SaveLists(def));
    EXPECT_TRUE(doc.DefaultFileAge.exists);
    EXPECT_EQ(doc.DefaultFileAge, FileStamp::of(def)) << "the program's own save is no change";
}

// The total is kept between rewrites of the status line (a selection rewrites it) and summed again
// after every kind of change of the defect list, a new order included: the last entry names the
// currency.
TEST_F(ListDocumentTest, totalFollowsEveryKindOfChangeOfTheDefectList)
{
    EntryList &d = doc.DefectList;
    const auto priced = [](const char *quantity, const char *price) { return ListEntry{quantity, {"Dach", "", price}}; };
    const std::pair<const char *, std::function<void()>> changes[] = {
        {"append", [&] { d.appendEntries(std::vector<ListEntry>{priced("2", "12,50 EUR"), priced("3", "1,00 CHF")}); }},
        {"caption", [&] { d.setCaption(0, std::string("4")); }},
        {"unpriced entry", [&] { d.append({"1", {"Dach", ""}}); }},
        {"sub-item", [&] { d.appendSubItem(2, "7,00 USD"); }},
        {"move", [&] { d.move(2, 0); }},
        {"remove", [&] { d.removeAt(0); }},
        {"new order", [&] { d.reorder({1, 0}); }},
        {"insert", [&] { d.insert(0, priced("10", "1,00 EUR")); }},
        {"truncate", [&] { d.truncate(1); }},
        {"assign", [&] { d.assign({priced("1", "2,00 CHF")}); }},
        {"clear", [&] { d.clear(); }},
    };
    doc.UpdateStatusLine(statusline::CountPhrase::Closed);
    for (const auto &[what, change] : changes) {
        const QString before = doc.TotalPriceText;
        change();
        doc.UpdateStatusLine(statusline::CountPhrase::Open);
        EXPECT_EQ(doc.TotalPriceText, statusline::totalPrice(d.entries(), u',')) << what;
        EXPECT_NE(doc.TotalPriceText, before) << what << ": the change changes the total";
    }
}

TEST_F(ListDocumentTest, statusLineFollowsTheLocale)
{
    loadExample();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    doc.UpdateStatusLine(statusline::CountPhrase::Open);
    EXPECT_EQ(doc.statusText(), QStringLiteral("1 Mängel auf der Mängelliste ; Gesamtpreis: 0.00 EUR"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    doc.UpdateStatusLine(statusline::CountPhrase::Closed);
    EXPECT_EQ(doc.statusText(), QStringLiteral("1 Mängel auf der Mängelliste; Gesamtpreis: 0,00 EUR"));
    EXPECT_EQ(doc.TotalPriceText, QStringLiteral("0,00 EUR"));
}
