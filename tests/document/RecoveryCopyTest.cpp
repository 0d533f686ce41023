// The recovery copy: its file, when it is written, what it holds, and when it goes.
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "document/ListDocument.h"
#include "document/NativeName.h"
#include "document/RecoveryCopy.h"
#include "document/RecoveryFile.h"
#include "document/RecoveryFolder.h"
#include "document/ReportFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::captions;
using testsupport::crlf;
using testsupport::defect;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

ReportDetails someDetails()
{
    ReportDetails d;
    d.Objekt = QStringLiteral("Wohnhaus Lindenweg 4");
    d.Anschrift = QStringLiteral("Lindenweg 4\n12345 Musterstädt");
    return d;
}

recoveryfile::Snapshot snapshot(const QString &fileName, const QByteArray &details, bool incomplete = false)
{
    const QDateTime time(QDate(2026, 12, 8), QTime(13, 3, 59, 120), Qt::UTC);
    return {time, fileName, incomplete, details, crlf({"1", "Dach", "0", "1", "Riss", "Dach"})};
}

QByteArray bytesOf(const recoveryfile::Snapshot &s)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("k"));
    EXPECT_TRUE(recoveryfile::write(path, s));
    return readFile(path);
}

TEST(RecoveryFile, readsBackWhatWasWritten)
{
    const struct {
        QString fileName;
        QByteArray details;
        bool incomplete;
    } cases[] = {
        {QStringLiteral("/home/anna/Begehung.mal"), reportfile::encode(someDetails()), false},
        {QString(), QByteArray(), false},
        {QStringLiteral("/tmp/zwei\nZeilen \\ und \\n.mal"), QByteArray(), true},
        {nativename::fromNative("/tmp/m\xe4ngel.mal"), QByteArray(), false}, // a name that is not UTF-8
    };
    for (const auto &c : cases) {
        const FileResult<recoveryfile::Copy> copy = recoveryfile::parse(bytesOf(snapshot(c.fileName, c.details, c.incomplete)));
        ASSERT_TRUE(copy) << qPrintable(c.fileName);
        EXPECT_EQ(copy->fileName, c.fileName);
        EXPECT_EQ(copy->incompleteLoad, c.incomplete);
        EXPECT_EQ(copy->details, c.details.isEmpty() ? ReportDetails() : someDetails());
        EXPECT_EQ(copy->time, snapshot({}, {}).time);
        EXPECT_EQ(captions(copy->lists.lists[listfile::Assemblies]), std::vector<std::string>{"Dach"});
        EXPECT_EQ(captions(copy->lists.lists[listfile::Defects]), std::vector<std::string>{"Riss"});
    }
}

TEST(RecoveryFile, aCopyCutShortOrAlteredIsDamaged)
{
    const QByteArray whole = bytesOf(snapshot(QStringLiteral("/a/B.mal"), reportfile::encode(someDetails())));
    const qsizetype body = whole.indexOf("\n\n") + 2;
    const auto replaced = [&](const char *from, const char *to) { return QByteArray(whole).replace(from, to); };
    const QByteArray cases[] = {
        {},
        whole.left(body - 1),
        whole.left(whole.size() - 1),
        whole + "x",
        replaced("Wiederherstellung 1", "Wiederherstellung 2"),
        replaced("Zeit=2026", "Zeit=20x6"),
        replaced("Unvollstaendig=0", "Unvollstaendig=2"),
        replaced("Bericht=", "Bericht=-"),
        replaced("Datei=/a/B.mal", "Datei=/a/B\\x.mal"),
        replaced("Maengelliste-Bericht 1", "Maengelliste-Bericht 9"),
        replaced("\r\n1\r\nRiss", "\r\nX\r\nRiss"), // a count that is no number
    };
    for (const QByteArray &bytes : cases)
        EXPECT_EQ(recoveryfile::parse(bytes).error(), FileError::format()) << bytes.left(200).toStdString();
}

TEST(RecoverySchedule, copiesSoonAfterAChangeButAtMostEveryTenSeconds)
{
    // Each step: a change at `change` (-1: none), then whether a copy is due at `tick`; a due copy is
    // taken, and `fails` makes it fail.
    const struct {
        qint64 change;
        qint64 tick;
        bool due;
        bool fails;
    } steps[] = {
        {-1, 0, false, false},   // nothing changed
        {500, 1000, true, false}, // the first change is copied at the next tick
        {1500, 2000, false, false}, {-1, 10'999, false, false}, {-1, 11'000, true, false},
        {-1, 25'000, false, false}, // nothing new since
        {30'000, 30'000, true, true}, // a failed copy is tried again at the next interval
        {-1, 39'999, false, false}, {-1, 40'000, true, false},
    };
    RecoverySchedule schedule;
    for (const auto &s : steps) {
        if (s.change >= 0)
            schedule.changed(s.change);
        EXPECT_EQ(schedule.due(s.tick), s.due) << s.tick;
        if (schedule.due(s.tick)) {
            schedule.attempted(s.tick);
            if (s.fails)
                schedule.failed();
        }
    }
    schedule.changed(50'000);
    schedule.nothingToKeep();
    EXPECT_FALSE(schedule.due(60'000)) << "a save leaves nothing to copy";
}

// A document in a temporary folder with its recovery copy on a clock the test moves.
struct RecoveryCopyTest : ::testing::Test {
    testsupport::StateFolder state;
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    ListDocument doc{prompts};
    qint64 now = 0;
    std::unique_ptr<RecoveryCopy> copy = std::make_unique<RecoveryCopy>(doc, prompts, [this] { return now; });

    void SetUp() override
    {
        doc.setUp(dir.path(), QStringLiteral("Quenbrik Mängelliste 1.0"));
        writeFile(path("Begehung.mal"), crlf({"1", "Dach", "0", "0"}));
        doc.OpenLists(path("Begehung.mal"));
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    // Moves the clock, lets the copy write when it is due and waits for the write.
    void tickAt(qint64 ms)
    {
        now = ms;
        copy->tick();
        copy->settle();
    }
    bool copyExists() const { return QFile::exists(copy->path()); }
    recoveryfile::Copy readCopy() const
    {
        FileResult<recoveryfile::Copy> c = recoveryfile::read(copy->path());
        EXPECT_TRUE(c) << c.error().reason().toStdString();
        return c ? std::move(*c) : recoveryfile::Copy{};
    }
};

TEST_F(RecoveryCopyTest, holdsTheListsNameDetailsAndTime)
{
    tickAt(0);
    EXPECT_FALSE(copyExists()) << "a document as loaded needs no copy";
    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    doc.DefectList.append(defect("Riss", "Dach"));
    doc.setReportDetails(someDetails());
    tickAt(1000);
    ASSERT_TRUE(copyExists());
    EXPECT_TRUE(QFile::exists(recoveryfile::lockPathOf(copy->path())));
    EXPECT_EQ(QFileInfo(copy->path()).path(), RecoveryFolder::path());
    const recoveryfile::Copy c = readCopy();
    EXPECT_EQ(c.fileName, path("Begehung.mal"));
    EXPECT_EQ(c.details, someDetails());
    EXPECT_GE(c.time, before);
    EXPECT_LE(c.time, QDateTime::currentDateTimeUtc());
    EXPECT_EQ(captions(c.lists.lists[listfile::Assemblies]), std::vector<std::string>{"Dach"});
    EXPECT_EQ(captions(c.lists.lists[listfile::Defects]), std::vector<std::string>{"Riss"});

    // A later change reaches the copy at the next interval, not before.
    doc.DefectList.append(defect("Loch", "Dach"));
    tickAt(9000);
    EXPECT_EQ(readCopy().lists.lists[listfile::Defects].size(), 1u);
    tickAt(11'000);
    EXPECT_EQ(captions(readCopy().lists.lists[listfile::Defects]), (std::vector<std::string>{"Riss", "Loch"}));
}

TEST_F(RecoveryCopyTest, goesAfterASaveOfBothFilesOpenNewAndTheNormalEnd)
{
    const std::function<void()> matchingFiles[] = {
        [&] { EXPECT_TRUE(doc.SaveLists(path("Begehung.mal"))); },
        [&] { doc.OpenLists(path("Begehung.mal")); },
        [&] { doc.newDocument(); },
        [&] { doc.newDocumentWithCatalog(); },
        [&] { copy.reset(); },
    };
    qint64 t = 0;
    for (const auto &action : matchingFiles) {
        if (!copy)
            break;
        doc.AssemblyList.append(ListEntry("Keller"));
        tickAt(t += 10'000);
        const QString file = copy->path();
        ASSERT_TRUE(QFile::exists(file));
        action();
        if (copy)
            copy->settle();
        EXPECT_FALSE(QFile::exists(file)) << t;
    }
    EXPECT_TRUE(QDir(RecoveryFolder::path()).entryList(QDir::Files).isEmpty()) << "nor is the lock left";
}

TEST_F(RecoveryCopyTest, staysAfterASaveWhoseDetailsFailed)
{
    doc.setReportDetails(someDetails());
    tickAt(1000);
    QDir().mkpath(reportfile::pathFor(path("Begehung.mal"))); // a folder where the details file goes
    EXPECT_FALSE(doc.SaveLists(path("Begehung.mal")));
    copy->settle();
    EXPECT_TRUE(copyExists());
    EXPECT_TRUE(doc.hasUnsavedChanges());
}

TEST_F(RecoveryCopyTest, aFailedWriteIsShownOnceAndTriedAgain)
{
    // The recovery folder cannot be made: a file stands where it goes.
    writeFile(RecoveryFolder::path(), "kein Ordner");
    QSignalSpy finished(copy.get(), &RecoveryCopy::writeFinished);
    doc.AssemblyList.append(ListEntry("Keller"));
    tickAt(1000);
    tickAt(5000);
    tickAt(11'000);
    ASSERT_EQ(finished.count(), 2);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::withDetail(prompts.messages[0]),
              (testsupport::MessageFields{QStringLiteral("Wiederherstellungskopie"),
                                          QStringLiteral("Die Wiederherstellungskopie konnte nicht geschrieben werden."),
                                          Prompts::Icon::Warning, Prompts::Buttons::Ok,
                                          copy->path() + QStringLiteral(": Ist kein Verzeichnis")}));
    QFile::remove(RecoveryFolder::path());
    tickAt(21'000);
    EXPECT_TRUE(copyExists()) << "the next interval writes it";
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(RecoveryCopyTest, theDocumentCountsItsOwnChanges)
{
    EXPECT_FALSE(doc.hasUnsavedChanges());
    const std::function<void()> changes[] = {
        [&] { doc.AssemblyList.append(ListEntry("Keller")); },
        [&] { doc.AssemblyList.setCaption(0, std::string("Dachboden")); },
        [&] { doc.AssemblyList.removeAt(0); },
        [&] { doc.setReportDetails(someDetails()); },
        [&] { doc.restore({}, path("Begehung.mal"), {}, false); },
    };
    for (const auto &change : changes) {
        doc.OpenLists(path("Begehung.mal"));
        ASSERT_FALSE(doc.hasUnsavedChanges());
        change();
        EXPECT_TRUE(doc.hasUnsavedChanges());
    }
}

} // namespace
