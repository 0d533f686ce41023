#include "exchange/CsvExchange.h"
#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const QString kCannotCreate = QStringLiteral("Konnte die Datei nicht erstellen.");
const QString kCannotOpen = QStringLiteral("Konnte Datei nicht öffnen.");

struct CsvExchangeTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    EntryList defects{{QStringLiteral("Mangel"), QStringLiteral("Baugruppe")}};

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }

    // The one message shown must be the error box with the platform's caption.
    void expectOnlyError(const QString &text)
    {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(testsupport::fields(prompts.messages[0]), (testsupport::MessageFields{QString(), text}));
        prompts.clear();
    }
};

} // namespace

TEST_F(CsvExchangeTest, exportReplacesAnExistingFileOnceTheDialogHasAsked)
{
    const QString target = path(QStringLiteral("liste.csv"));
    writeFile(target, "alter Inhalt, der l\xe4nger ist als der neue\r\n");
    defects.append({"Riss im \"Deckel\"", {"Motor"}});
    defects.append({"\xc4nderung", {""}});

    EXPECT_TRUE(exportCsv(defects, target, prompts));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(readFile(target), QByteArray("\"Riss im \"\"Deckel\"\"\";\"Motor\"\r\n\"\xc4nderung\";\"\"\r\n"));

    defects.clear();
    EXPECT_TRUE(exportCsv(defects, target, prompts));
    EXPECT_EQ(readFile(target).size(), 0) << "an empty list empties the file";
}

TEST_F(CsvExchangeTest, exportThatCannotCreateTheFileSaysSo)
{
    defects.append({"Riss", {"Motor"}});
    for (const QString &bad : {path(QStringLiteral("fehlt/liste.csv")), dir.path(), QString()}) {
        EXPECT_FALSE(exportCsv(defects, bad, prompts)) << bad.toStdString();
        expectOnlyError(kCannotCreate);
    }
}

TEST_F(CsvExchangeTest, exportToAFullDiskLeavesTheExistingFileUntouched)
{
    for (int i = 0; i < 5000; ++i)
        defects.append({"Ein recht langer Mangel Nummer " + std::to_string(i), {"Baugruppe"}});
    const QString target = path(QStringLiteral("liste.csv"));
    const QByteArray previous("\"alt\";\"A\"\r\n");
    writeFile(target, previous);

    bool written = true;
    {
        const testsupport::FullDisk full(4096);
        written = exportCsv(defects, target, prompts);
    }

    EXPECT_FALSE(written);
    expectOnlyError(kCannotCreate);
    EXPECT_EQ(readFile(target), previous);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("liste.csv")})
        << "no temporary file left";
}

TEST_F(CsvExchangeTest, importAppendsAfterTheExistingEntriesInFileOrder)
{
    defects.append({"Vorher", {"X"}});
    defects.append({"Ohne Baugruppe", {}});
    // A sort rule must not be applied by the import.
    defects.setSortRule([](const std::vector<ListEntry> &e) {
        std::vector<int> order(e.size());
        for (std::size_t i = 0; i < e.size(); ++i)
            order[i] = static_cast<int>(e.size() - 1 - i);
        return order;
    });
    const QString source = path(QStringLiteral("ein.csv"));
    writeFile(source, "\"Z\";\"1\"\r\n\r\nA\r\n\"M\";\"2\";\"x\"\r\n");
    QSignalSpy inserted(&defects, &EntryList::rowsInserted);

    EXPECT_TRUE(importCsv(defects, source, prompts));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(inserted.count(), 1) << "one insertion for the whole file";
    const std::vector<ListEntry> expected = {
        {"Vorher", {"X"}}, {"Ohne Baugruppe", {""}}, {"Z", {"1"}}, {"A", {""}}, {"M", {"2"}},
    };
    EXPECT_EQ(defects.entries(), expected);
}

TEST_F(CsvExchangeTest, exportThenImportDoublesTheList)
{
    defects.append({"Riss im \"Deckel\"", {"Motor"}});
    defects.append({"zwei\r\nZeilen",
                    {"\xdc"
                     "berall"}});
    const std::vector<ListEntry> before = defects.entries();
    const QString file = path(QStringLiteral("rund.csv"));

    ASSERT_TRUE(exportCsv(defects, file, prompts));
    ASSERT_TRUE(importCsv(defects, file, prompts));
    std::vector<ListEntry> twice = before;
    twice.insert(twice.end(), before.begin(), before.end());
    EXPECT_EQ(defects.entries(), twice);
}

TEST_F(CsvExchangeTest, importOfAFileThatCannotBeReadAppendsNothing)
{
    defects.append({"Vorher", {"X"}});
    for (const QString &bad : {path(QStringLiteral("fehlt.csv")), dir.path(), QString()}) {
        EXPECT_FALSE(importCsv(defects, bad, prompts)) << bad.toStdString();
        expectOnlyError(kCannotOpen);
        EXPECT_EQ(defects.entries(), (std::vector<ListEntry>{{"Vorher", {"X"}}}));
    }
}
