#include "document/RecoveryFolder.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using testsupport::readFile;
using testsupport::ScopedEnv;
using testsupport::setFileTime;
using testsupport::writeFile;

namespace {

TEST(RecoveryFolder, pathFollowsAnAbsoluteStateHomeElseTheHomeFolder)
{
    const ScopedEnv home("HOME", "/home/anna");
    struct Row {
        QByteArray state;
        QString folder;
    };
    const Row rows[] = {
        {"/var/state", QStringLiteral("/var/state/maengelliste")},
        {"/var/state/", QStringLiteral("/var/state/maengelliste")},
        {"relativ/state", QStringLiteral("/home/anna/.local/state/maengelliste")},
        {"", QStringLiteral("/home/anna/.local/state/maengelliste")},
    };
    for (const Row &row : rows) {
        const ScopedEnv state("XDG_STATE_HOME", row.state);
        EXPECT_EQ(RecoveryFolder::path(), row.folder) << row.state.constData();
        EXPECT_EQ(RecoveryFolder::discardedPath(), row.folder + QStringLiteral("/verworfen"));
    }
}

TEST(RecoveryFolder, whenNamesDayAndMinuteInLocalTime)
{
    // The tests run in Europe/Berlin: 13:03 UTC is 14:03 there in winter.
    const QDateTime utc(QDate(2026, 12, 8), QTime(13, 3, 59), Qt::UTC);
    EXPECT_EQ(RecoveryFolder::when(utc), QStringLiteral("08.12.2026 um 14:03"));
}

struct RecoveryFolderFiles : ::testing::Test {
    QTemporaryDir dir;
    ScopedEnv state{"XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("state")))};

    QString inFolder(const QString &name) { return RecoveryFolder::path() + u'/' + name; }
    QString discarded(const QString &name) { return RecoveryFolder::discardedPath() + u'/' + name; }
    QStringList discardedNames() { return QDir(RecoveryFolder::discardedPath()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(RecoveryFolderFiles, ensureCreatesTheFolderAndItsParentsForTheUserAlone)
{
    ASSERT_TRUE(RecoveryFolder::ensure());
    ASSERT_TRUE(RecoveryFolder::ensure()); // an existing folder is fine
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(RecoveryFolder::path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    writeFile(dir.filePath(QStringLiteral("datei")), "x");
    const ScopedEnv onAFile("XDG_STATE_HOME", QFile::encodeName(dir.filePath(QStringLiteral("datei"))));
    EXPECT_EQ(RecoveryFolder::ensure().error(), FileError{ENOTDIR});
}

TEST_F(RecoveryFolderFiles, discardMovesUnderANameThatDoesNotClash)
{
    ASSERT_TRUE(RecoveryFolder::ensure());
    const char *contents[] = {"eins", "zwei", "drei"};
    for (const char *bytes : contents) {
        writeFile(inFolder(QStringLiteral("Begehung.mal")), bytes);
        ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral("Begehung.mal"))));
        EXPECT_FALSE(QFileInfo::exists(inFolder(QStringLiteral("Begehung.mal"))));
    }
    writeFile(inFolder(QStringLiteral("ohne")), "vier");
    writeFile(inFolder(QStringLiteral(".versteckt")), "fünf");
    ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral("ohne"))));
    ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral(".versteckt"))));
    writeFile(inFolder(QStringLiteral("ohne")), "sechs");
    writeFile(inFolder(QStringLiteral(".versteckt")), "sieben");
    ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral("ohne"))));
    ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral(".versteckt"))));

    EXPECT_EQ(readFile(discarded(QStringLiteral("Begehung.mal"))), "eins");
    EXPECT_EQ(readFile(discarded(QStringLiteral("Begehung (2).mal"))), "zwei");
    EXPECT_EQ(readFile(discarded(QStringLiteral("Begehung (3).mal"))), "drei");
    EXPECT_EQ(readFile(discarded(QStringLiteral("ohne (2)"))), "sechs");
    EXPECT_EQ(readFile(discarded(QStringLiteral(".versteckt (2)"))), "sieben");
}

TEST_F(RecoveryFolderFiles, discardKeepsTheNewestTenAndNeverDeletesTheFileItMoved)
{
    ASSERT_TRUE(QDir().mkpath(RecoveryFolder::discardedPath()));
    for (int i = 0; i < 12; ++i) {
        const QString name = QStringLiteral("alt%1").arg(i, 2, 10, QLatin1Char('0'));
        writeFile(discarded(name), "x");
        setFileTime(discarded(name), 1'000'000 + i * 60);
    }
    // The file moved keeps its time, older than all others: it stays all the same.
    writeFile(inFolder(QStringLiteral("ältest")), "neu verworfen");
    setFileTime(inFolder(QStringLiteral("ältest")), 1000);
    ASSERT_TRUE(RecoveryFolder::discard(inFolder(QStringLiteral("ältest"))));

    QStringList expected;
    for (int i = 3; i < 12; ++i)
        expected << QStringLiteral("alt%1").arg(i, 2, 10, QLatin1Char('0'));
    expected << QStringLiteral("ältest");
    EXPECT_EQ(discardedNames(), expected);
}

TEST_F(RecoveryFolderFiles, aFailedDiscardLeavesTheFileWhereItWas)
{
    ASSERT_TRUE(RecoveryFolder::ensure());
    EXPECT_EQ(RecoveryFolder::discard(inFolder(QStringLiteral("fehlt"))).error(), FileError{ENOENT});
    ASSERT_TRUE(QDir(RecoveryFolder::discardedPath()).removeRecursively());
    const QString copy = inFolder(QStringLiteral("kopie.mal"));
    writeFile(copy, "bleibt");
    writeFile(RecoveryFolder::discardedPath(), "eine Datei, kein Ordner");
    EXPECT_EQ(RecoveryFolder::discard(copy).error(), FileError{ENOTDIR});
    EXPECT_EQ(readFile(copy), "bleibt");
}

} // namespace
