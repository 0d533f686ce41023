// The default-file watch while other programs replace, remove, hide or keep rewriting the file:
// one question per change, never two at a time, and a clear message when the file cannot be read.
#include "FaultSupport.h"
#include "WindowFixture.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

using Answer = Prompts::Answer;

namespace {

const QString kReloadCaption = QStringLiteral("Neu laden");
const QString kReloadText = QStringLiteral(
    "Die Datei mängel.mal im Programmverzeichnis wurde geändert. Soll die geänderte Datei geladen werden?");

// A list file whose defect list holds one entry named `defect`.
QByteArray listWith(const char *defect)
{
    return "1\r\nDach\r\n0\r\n1\r\n" + QByteArray(defect) + "\r\nDach\r\n";
}

using testsupport::setFileTime;

struct WatchFaults : WindowFixture {
    ScriptedWindowPrompts watch;

    void SetUp() override
    {
        writeDefault(starter());
        form = std::make_unique<TMainForm>(watch, dir.path(), makeStore());
        watch.clear();
    }
    ~WatchFaults() override { form.reset(); } // before the prompts it uses
    void tick() { form->Timer1Timer(); }
    std::vector<std::string> defects() { return captions(doc().DefectList); }
    int reloadQuestions() const { return int(watch.captions().count(kReloadCaption)); }
};

TEST_F(WatchFaults, aFileReplacedByRenameAsksOnceAndLoadsTheNewFile)
{
    // Same size and same modification time as before: only the rename tells them apart.
    struct stat before {};
    ASSERT_EQ(stat(QFile::encodeName(defaultFile()).constData(), &before), 0);
    QByteArray replacement = starter();
    replacement.replace("Alt", "Neu");
    const QString temp = path(QStringLiteral("mängel.mal~"));
    testsupport::writeFile(temp, replacement);
    setFileTime(temp, before.st_mtim.tv_sec, before.st_mtim.tv_nsec);
    ASSERT_EQ(std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(defaultFile()).constData()), 0);

    tick();
    ASSERT_EQ(watch.messages.size(), 1u);
    EXPECT_EQ(testsupport::fields(watch.messages[0]), (testsupport::MessageFields{kReloadCaption, kReloadText,
                                                                                  Prompts::Icon::None,
                                                                                  Prompts::Buttons::YesNoCancel}));
    EXPECT_EQ(defects(), std::vector<std::string>{"Neu"});
    tick();
    EXPECT_EQ(watch.messages.size(), 1u) << "no question until the file changes again";
}

// What becomes of the default file while the program runs.
enum class Loss { Deleted, TurnedIntoFolder, MadeUnreadable };

struct LostFile : WatchFaults, ::testing::WithParamInterface<Loss> {};

// The outcome of the watch after the file was lost, packed so that it can come back from a child.
QByteArray watchAfterLoss(WatchFaults &t)
{
    QByteArray report;
    QDataStream out(&report, QIODevice::WriteOnly);
    t.tick(); // the question (default answer Yes) and the failed load
    const QStringList first = t.watch.captions();
    const QStringList texts = t.watch.texts();
    t.tick(); // nothing new
    std::vector<std::string> kept = t.defects();
    out << first << texts << t.watch.captions().size() << t.form->windowTitle() << qsizetype(kept.size())
        << QString::fromStdString(kept.empty() ? std::string() : kept[0]);
    return report;
}

TEST_P(LostFile, asksOnceThenTellsTheFileCannotBeOpenedAndKeepsTheLists)
{
    const QString title = form->windowTitle();
    QByteArray report;
    switch (GetParam()) {
    case Loss::Deleted:
        ASSERT_TRUE(QFile::remove(defaultFile()));
        report = watchAfterLoss(*this);
        break;
    case Loss::TurnedIntoFolder:
        ASSERT_TRUE(QFile::remove(defaultFile()));
        ASSERT_TRUE(QDir().mkdir(defaultFile()));
        report = watchAfterLoss(*this);
        break;
    case Loss::MadeUnreadable: {
        if (!faults::unprivilegedAvailable())
            GTEST_SKIP() << faults::kNoUnprivilegedChild;
        // Rewritten (a mode change alone is no change of the file), then closed to everyone.
        testsupport::writeFile(defaultFile(), listWith("Geheim"));
        setFileTime(defaultFile(), 1'000'000'000);
        chmod(QFile::encodeName(defaultFile()).constData(), 0);
        faults::openToAll(dir.path());
        const std::optional<QByteArray> child = faults::unprivileged([&] { return watchAfterLoss(*this); });
        chmod(QFile::encodeName(defaultFile()).constData(), 0644);
        ASSERT_TRUE(child) << "the unprivileged child failed";
        report = *child;
        break;
    }
    }
    QDataStream in(report);
    QStringList captions, texts;
    qsizetype messagesAfterSecondTick = 0, keptCount = 0;
    QString titleAfter, keptFirst;
    in >> captions >> texts >> messagesAfterSecondTick >> titleAfter >> keptCount >> keptFirst;

    EXPECT_EQ(captions, (QStringList{kReloadCaption, QStringLiteral("Fehler beim Öffnen")}));
    EXPECT_EQ(texts.value(1), QStringLiteral("Konnte die Datei nicht öffnen."));
    EXPECT_EQ(messagesAfterSecondTick, 2) << "the lost file is asked about once";
    EXPECT_EQ(titleAfter, title);
    EXPECT_EQ(keptCount, 1);
    EXPECT_EQ(keptFirst, QStringLiteral("Alt")) << "a failed reload keeps the lists";
}

INSTANTIATE_TEST_SUITE_P(Faults, LostFile,
                         ::testing::Values(Loss::Deleted, Loss::TurnedIntoFolder, Loss::MadeUnreadable),
                         [](const auto &info) {
                             switch (info.param) {
                             case Loss::Deleted:
                                 return std::string("Deleted");
                             case Loss::TurnedIntoFolder:
                                 return std::string("TurnedIntoFolder");
                             case Loss::MadeUnreadable:
                                 return std::string("MadeUnreadable");
                             }
                             return std::string();
                         });

TEST_F(WatchFaults, aFolderInThePlaceOfTheFileIsAskedAboutAgainOnceAFileIsBack)
{
    ASSERT_TRUE(QFile::remove(defaultFile()));
    ASSERT_TRUE(QDir().mkdir(defaultFile()));
    watch.answers = {Answer::No};
    tick();
    ASSERT_TRUE(QDir().rmdir(defaultFile()));
    testsupport::writeFile(defaultFile(), listWith("Wieder da"));
    tick();
    EXPECT_EQ(reloadQuestions(), 2);
    EXPECT_EQ(defects(), std::vector<std::string>{"Wieder da"});
}

struct RewrittenWhileAsking : WatchFaults, ::testing::WithParamInterface<Answer> {};

TEST_P(RewrittenWhileAsking, aThousandRewritesBringUpOneQuestion)
{
    const time_t base = 1'500'000'000;
    watch.whileOpen = [&] {
        for (int i = 0; i < 1000; ++i) {
            testsupport::writeFile(defaultFile(), listWith(("Fassung " + std::to_string(i)).c_str()));
            setFileTime(defaultFile(), base + i); // each rewrite is a change, however fast they come
            tick();                            // the ticks the open question's loop delivers
            if (i % 100 == 0)
                QCoreApplication::processEvents();
        }
    };
    watch.answers = {GetParam()};
    testsupport::writeFile(defaultFile(), listWith("Erste"));
    setFileTime(defaultFile(), base - 1);
    tick();
    watch.whileOpen = nullptr;

    EXPECT_EQ(reloadQuestions(), 1);
    EXPECT_EQ(watch.maxOpen, 1) << "never two messages at a time";
    if (GetParam() == Answer::Yes)
        EXPECT_EQ(defects(), std::vector<std::string>{"Fassung 999"}) << "the file as it is when the answer comes";
    else
        EXPECT_EQ(defects(), std::vector<std::string>{"Alt"});
    tick();
    EXPECT_EQ(reloadQuestions(), 1) << "the last rewrite is not asked about again";
    testsupport::writeFile(defaultFile(), listWith("Danach"));
    setFileTime(defaultFile(), base + 2000);
    tick();
    EXPECT_EQ(reloadQuestions(), 2) << "the watch goes on after the question";
}

INSTANTIATE_TEST_SUITE_P(Faults, RewrittenWhileAsking, ::testing::Values(Answer::Yes, Answer::No),
                         [](const auto &info) { return std::string(info.param == Answer::Yes ? "Yes" : "No"); });

} // namespace
