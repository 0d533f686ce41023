// The question at start-up about a save cut short: Ja writes the new version and opens it, Nein
// moves it aside, no answer leaves it for the next start.
#include "ui/InterruptedSaveOffer.h"
#include "FaultSupport.h"
#include "ScriptedPrompts.h"
#include "WindowFixture.h"
#include "document/InterruptedSave.h"
#include "document/RecoveryFolder.h"

#include <QDir>
#include <QRegularExpression>

namespace {

using Answer = Prompts::Answer;

struct InterruptedSaveOffer : WindowFixture {
    testsupport::ScopedEnv state{"XDG_STATE_HOME", QFile::encodeName(path(QStringLiteral("state")))};
    const QByteArray mixed = testsupport::crlf({"2", "Dach", "Fassade", "3", "Riss"});

    static int discarded() { return int(QDir(RecoveryFolder::discardedPath()).entryList(QDir::Files).size()); }
};

TEST_F(InterruptedSaveOffer, jaWritesTheNewVersionNeinMovesItAsideNoAnswerLeavesIt)
{
    struct Row {
        const char *name;
        Answer answer;
        const char *file;
        QByteArray after;    // the file's bytes afterwards
        bool opened;         // ask() names it as the list file to open
        int discarded, left; // copies in "verworfen", saves still to ask about
    };
    const QByteArray next = starter();
    const Row rows[] = {
        {"ja", Answer::Yes, "Begehung.mal", next, true, 0, 0},
        {"nein", Answer::No, "Begehung.mal", mixed, false, 1, 0},
        {"closed", Answer::Closed, "Begehung.mal", mixed, false, 0, 1},
        {"jaToAnotherFile", Answer::Yes, "Export.csv", next, false, 0, 0},
    };
    for (const Row &row : rows) {
        QDir(RecoveryFolder::path()).removeRecursively();
        const QString file = path(QString::fromUtf8(row.file));
        testsupport::writeFile(file, mixed);
        faults::leaveInterruptedSave(file, next);
        ScriptedPrompts prompts;
        prompts.answers = {row.answer};
        const QString start = path(QStringLiteral("start.mal"));
        EXPECT_EQ(interruptedsaveoffer::ask(prompts, start), row.opened ? file : start) << row.name;
        ASSERT_EQ(prompts.messages.size(), 1u) << row.name;
        const Prompts::Message &m = prompts.messages[0];
        EXPECT_EQ(m.caption, QStringLiteral("Wiederherstellen"));
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^Das Speichern von „%1“ wurde am \\d\\d\\.\\d\\d\\.\\d{4} um "
                                              "\\d\\d:\\d\\d unterbrochen; die Datei ist vermutlich "
                                              "unvollständig\\. Die vollständige neue Fassung wiederherstellen\\?$")
                                   .arg(QString::fromUtf8(row.file)))
                .match(m.text)
                .hasMatch())
            << qPrintable(m.text);
        EXPECT_EQ(m.icon, Prompts::Icon::Question);
        EXPECT_EQ(m.buttons, Prompts::Buttons::YesNo);
        EXPECT_EQ(m.defaultButton, Answer::Yes);
        EXPECT_EQ(testsupport::readFile(file), row.after) << row.name;
        EXPECT_EQ(discarded(), row.discarded) << row.name;
        EXPECT_EQ(int(interruptedsave::find().size()), row.left) << row.name;
    }
}

TEST_F(InterruptedSaveOffer, aFailedWriteIsShownAndAskedAgainAtTheNextStart)
{
    const QString file = path(QStringLiteral("Begehung.mal"));
    testsupport::writeFile(file, mixed);
    faults::leaveInterruptedSave(file, starter());
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkdir(file)); // a folder now stands where the file was
    ScriptedPrompts prompts;
    EXPECT_EQ(interruptedsaveoffer::ask(prompts, QString()), QString());
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(testsupport::withDetail(prompts.messages[1]),
              (testsupport::MessageFields{QStringLiteral("Wiederherstellen"),
                                          QStringLiteral("Die neue Fassung konnte nicht geschrieben werden."),
                                          Prompts::Icon::Error, Prompts::Buttons::Ok,
                                          QStringLiteral("Begehung.mal: Ist ein Verzeichnis")}));
    EXPECT_EQ(interruptedsave::find().size(), 1u);
}

TEST_F(InterruptedSaveOffer, jaAtTheStartOpensTheWholeFileInsteadOfTheStartFile)
{
    writeDefault(mixed);
    faults::leaveInterruptedSave(defaultFile(), starter());
    create();
    ASSERT_EQ(prompts.captions(), QStringList{QStringLiteral("Wiederherstellen")});
    EXPECT_EQ(testsupport::readFile(defaultFile()), starter());
    EXPECT_EQ(captions(doc().DefectCatalog), (std::vector<std::string>{"Riss", "Loch", "Ziegel"}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Quenbrik Mängelliste 1.0 - mängel.mal"));
}

} // namespace
