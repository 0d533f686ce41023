// The offer of recovery copies at start-up: which copies, in what order, and what Ja and Nein do.
#include "ScriptedPrompts.h"
#include "WindowFixture.h"
#include "document/LeftCopies.h"
#include "document/RecoveryCopy.h"
#include "document/RecoveryFile.h"
#include "document/RecoveryFolder.h"
#include "document/ReportFile.h"
#include "ui/RecoveryOffer.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <string_view>

namespace {

using testsupport::crlf;

const QString kBase = QStringLiteral("Quenbrik Mängelliste 1.0");

// A copy as a program that is no longer running left it: written at 14:0<minute> on 08.12.2026
// (local time), of a document with one defect named after the copy.
struct Left {
    const char *id;
    int minute;
    const char *fileName = "Begehung.mal"; // "" : no name
    bool withDetails = false;
};

ReportDetails details()
{
    ReportDetails d;
    d.Objekt = QStringLiteral("Wohnhaus");
    return d;
}

QString copyPath(const char *id)
{
    return RecoveryFolder::path() + QStringLiteral("/sitzung-%1.kopie").arg(QString::fromLatin1(id));
}

void leave(const Left &left, const QString &folder)
{
    ASSERT_TRUE(RecoveryFolder::ensure());
    recoveryfile::Snapshot s;
    s.time = QDateTime(QDate(2026, 12, 8), QTime(14, left.minute), Qt::LocalTime);
    s.fileName = *left.fileName ? folder + u'/' + QString::fromUtf8(left.fileName) : QString();
    s.details = left.withDetails ? reportfile::encode(details()) : QByteArray();
    s.lists = crlf({"0", "0", "1", left.id, "Dach"});
    ASSERT_TRUE(recoveryfile::write(copyPath(left.id), s));
}

QString question(int minute, const QString &changes)
{
    return QStringLiteral("Das Programm wurde am 08.12.2026 um 14:0%1 nicht ordnungsgemäß beendet. Die ungesicherten "
                          "Änderungen %2 wiederherstellen?")
        .arg(minute)
        .arg(changes);
}

QStringList filesIn(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

struct RecoveryOffer : WindowFixture {
    testsupport::StateFolder state;
};

TEST_F(RecoveryOffer, asksNewestFirstAndJaRestoresWhileNeinDiscards)
{
    const struct Case {
        const char *name;
        std::vector<Left> copies;
        std::vector<Prompts::Answer> answers;
        QStringList questions;
        const char *restored; // the defect of the restored copy; nullptr: none
        QStringList discarded;
        QStringList left; // still in the folder
    } cases[] = {
        {"one copy, Ja", {{"a", 3}}, {Prompts::Answer::Yes}, {question(3, QStringLiteral("an „Begehung.mal“"))}, "a", {}, {}},
        {"one copy, Nein", {{"a", 3}}, {Prompts::Answer::No}, {question(3, QStringLiteral("an „Begehung.mal“"))}, nullptr,
         {QStringLiteral("sitzung-a.kopie")}, {}},
        {"unnamed with details", {{"a", 3, "", true}}, {Prompts::Answer::Yes},
         {question(3, QStringLiteral("an einer Liste ohne Namen"))}, "a", {}, {}},
        {"several: Nein, then Ja leaves the rest for the next start",
         {{"alt", 1}, {"neu", 5, "Neu.mal"}, {"mitte", 3, "Mitte.mal"}},
         {Prompts::Answer::No, Prompts::Answer::Yes},
         {question(5, QStringLiteral("an „Neu.mal“")), question(3, QStringLiteral("an „Mitte.mal“"))}, "mitte",
         {QStringLiteral("sitzung-neu.kopie")}, {QStringLiteral("sitzung-alt.kopie")}},
        {"several: Nein to all", {{"b", 2}, {"a", 1}}, {Prompts::Answer::No, Prompts::Answer::No},
         {question(2, QStringLiteral("an „Begehung.mal“")), question(1, QStringLiteral("an „Begehung.mal“"))}, nullptr,
         {QStringLiteral("sitzung-a.kopie"), QStringLiteral("sitzung-b.kopie")}, {}},
        {"a box closed without an answer keeps the copy", {{"a", 3}}, {Prompts::Answer::Closed},
         {question(3, QStringLiteral("an „Begehung.mal“"))}, nullptr, {}, {QStringLiteral("sitzung-a.kopie")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::StateFolder fresh;
        for (const Left &l : c.copies)
            leave(l, dir.path());
        ScriptedPrompts asked;
        asked.answers.assign(c.answers.begin(), c.answers.end());
        ListDocument document(asked);
        document.setUp(dir.path(), kBase);
        RecoveryCopy own(document, asked);
        {
            LeftCopies copies = LeftCopies::find();
            EXPECT_EQ(recoveryoffer::ask(copies, asked, document, own), c.restored != nullptr);
        }
        own.settle();
        EXPECT_EQ(asked.texts(), c.questions);
        for (const auto &m : asked.messages) {
            EXPECT_EQ(m.defaultButton, Prompts::Answer::Yes);
            EXPECT_EQ(testsupport::fields(m), (testsupport::MessageFields{QStringLiteral("Wiederherstellen"), m.text,
                                                                         Prompts::Icon::Question,
                                                                         Prompts::Buttons::YesNo}));
        }
        EXPECT_EQ(filesIn(RecoveryFolder::discardedPath()), c.discarded);
        QStringList left = filesIn(RecoveryFolder::path());
        if (c.restored) {
            EXPECT_EQ(testsupport::captions(document.DefectList), std::vector<std::string>{c.restored});
            const bool withDetails = std::any_of(c.copies.begin(), c.copies.end(), [&](const Left &l) {
                return l.withDetails && std::string_view(l.id) == c.restored;
            });
            EXPECT_EQ(document.reportDetails(), withDetails ? details() : ReportDetails());
            EXPECT_TRUE(document.hasUnsavedChanges());
            EXPECT_TRUE(left.removeOne(QFileInfo(own.path()).fileName())) << "the restored copy is this run's now";
            EXPECT_TRUE(left.removeOne(QFileInfo(recoveryfile::lockPathOf(own.path())).fileName()));
        }
        EXPECT_EQ(left, c.left) << "no lock is left behind either";
    }
}

TEST_F(RecoveryOffer, aCopyOfARunningProgramOrOneTakenIsNotOfferedAndADamagedOneIsNamedAndKept)
{
    leave({"laeuft", 3}, dir.path());
    leave({"kaputt", 4}, dir.path());
    testsupport::writeFile(copyPath("kaputt"), "Maengelliste-Wiederherstellung 1\nZeit=");
    const int running = recoveryfile::tryLock(recoveryfile::lockPathOf(copyPath("laeuft")));
    ASSERT_GE(running, 0);
    ScriptedPrompts asked;
    ListDocument document(asked);
    RecoveryCopy own(document, asked);
    {
        LeftCopies copies = LeftCopies::find();
        LeftCopies second = LeftCopies::find(); // a program starting at the same time
        EXPECT_TRUE(second.empty());
        EXPECT_FALSE(recoveryoffer::ask(copies, asked, document, own));
    }
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_EQ(testsupport::withDetail(asked.messages[0]),
              (testsupport::MessageFields{
                  QStringLiteral("Wiederherstellen"),
                  QStringLiteral("Eine Wiederherstellungskopie ist beschädigt oder nicht lesbar und kann nicht "
                                 "wiederhergestellt werden. Sie liegt im Ordner „%1“.")
                      .arg(RecoveryFolder::discardedPath()),
                  Prompts::Icon::Warning, Prompts::Buttons::Ok, QStringLiteral("sitzung-kaputt.kopie: Ungültiges Format")}));
    EXPECT_EQ(filesIn(RecoveryFolder::discardedPath()), QStringList{QStringLiteral("sitzung-kaputt.kopie")});
    EXPECT_TRUE(QFile::exists(copyPath("laeuft")));
    recoveryfile::releaseLock(recoveryfile::lockPathOf(copyPath("laeuft")), running);
}

// The window: the question after it is shown, the start file and the watch after the answer.
TEST_F(RecoveryOffer, theWindowOpensTheStartFileOnlyAfterNeinAndWatchesOnlyOnceAnswered)
{
    const QString named = path(QStringLiteral("Befehlszeile.mal"));
    testsupport::writeFile(named, crlf({"0", "0", "1", "Befehlszeile", "Dach"}));
    writeDefault(crlf({"0", "0", "1", "Standard", "Dach"}));
    const struct {
        Prompts::Answer answer;
        QString startFile;
        const char *shown;
        QString title;
    } cases[] = {
        {Prompts::Answer::Yes, named, "kopie", kBase + QStringLiteral(" - Begehung.mal")},
        {Prompts::Answer::No, named, "Befehlszeile", kBase + QStringLiteral(" - Befehlszeile.mal")},
        {Prompts::Answer::Yes, {}, "kopie", kBase + QStringLiteral(" - Begehung.mal")},
        {Prompts::Answer::No, {}, "Standard", kBase + QStringLiteral(" - mängel.mal")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.shown);
        leave({"kopie", 3}, dir.path());
        prompts.clear();
        prompts.answers = {c.answer};
        form = std::make_unique<TMainForm>(prompts, dir.path(), makeStore(), c.startFile);
        EXPECT_TRUE(prompts.messages.empty()) << "nothing is asked before the window shows";
        EXPECT_FALSE(form->Timer1().isActive());
        ASSERT_TRUE(testsupport::eventually([&] { return form->Timer1().isActive(); }));
        EXPECT_EQ(prompts.captions(), QStringList{QStringLiteral("Wiederherstellen")});
        EXPECT_EQ(captions(doc().DefectList), std::vector<std::string>{c.shown});
        EXPECT_EQ(form->windowTitle(), c.title);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("Begehung.mal")))) << "the file waits for a save";
        EXPECT_FALSE(form->undoHistory().stack().canUndo()) << "the restored lists are no step to undo";
        form.reset();
        QDir(RecoveryFolder::discardedPath()).removeRecursively();
    }
}

} // namespace
