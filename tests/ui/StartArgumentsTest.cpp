#include "WindowFixture.h"
#include "document/NativeName.h"
#include "document/SafeFile.h"
#include "ui/StartArguments.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <string>
#include <vector>

#include <unistd.h>

namespace {

const QString kBase = QStringLiteral("Quenbrik Mängelliste 1.0");

struct StartArguments : WindowFixture {
    // The file named on the command line, or the start of the message the arguments give.
    struct Case {
        const char *name;
        QStringList arguments;
        QString file;
        QString error;
    };
};

} // namespace

TEST_F(StartArguments, listFile_takesOneExistingFileAndExplainsEverythingElse)
{
    testsupport::writeFile(path(QStringLiteral("andere.mal")), "0\r\n0\r\n0\r\n");
    QDir().mkpath(path(QStringLiteral("Ordner.mal")));
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QString absolute = path(QStringLiteral("andere.mal"));
    testsupport::writeFile(path(QStringLiteral("-x.mal")), "0\r\n0\r\n0\r\n");
    testsupport::NativeNames names(dir.path());
    const QByteArray latin1 = "m\xe4ngel.mal"; // a name in another encoding than UTF-8
    const QString latin1Path = names.path(latin1);
    ASSERT_TRUE(safefile::writeAll(latin1Path, "0\r\n"));
    const QString dash = QStringLiteral("--");
    const Case cases[] = {
        {"none", {}, {}, {}},
        {"absolute", {absolute}, absolute, {}},
        {"relative to the working folder", {QStringLiteral("./andere.mal")}, absolute, {}},
        {"missing", {QStringLiteral("fehlt.mal")}, {}, QStringLiteral("Die Datei „fehlt.mal“ gibt es nicht.")},
        {"empty", {QString()}, {}, QStringLiteral("Die Datei „“ gibt es nicht.")},
        {"a folder", {QStringLiteral("Ordner.mal")}, {}, QStringLiteral("„Ordner.mal“ ist keine Datei.")},
        {"two", {absolute, absolute}, {}, QStringLiteral("Es kann nur eine Datei angegeben werden")},
        {"-- before", {dash, QStringLiteral("-x.mal")}, path(QStringLiteral("-x.mal")), {}},
        {"-- after", {absolute, dash}, absolute, {}},
        {"-- alone", {dash}, {}, {}},
        {"-- as the file", {dash, dash}, {}, QStringLiteral("Die Datei „--“ gibt es nicht.")},
        {"not UTF-8", {nativename::fromNative(latin1)}, latin1Path, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QString error = QStringLiteral("stale");
        EXPECT_EQ(startarguments::listFile(c.arguments, &error), c.file);
        if (c.error.isEmpty()) {
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        } else {
            EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
            EXPECT_TRUE(error.endsWith(QStringLiteral("mängel.mal im Programmverzeichnis."))) << error.toStdString();
        }
    }

    // A name relative to a working folder whose own name is not UTF-8.
    const QString folder = names.folder("\xc4nderungen");
    const QString inside = names.path("\xc4nderungen/liste.mal");
    ASSERT_TRUE(safefile::writeAll(inside, "0\r\n0\r\n0\r\n"));
    ASSERT_EQ(::chdir(nativename::toNative(folder).constData()), 0);
    QString error;
    EXPECT_EQ(startarguments::listFile({QStringLiteral("liste.mal")}, &error), inside);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    QDir::setCurrent(saved);
}

// Qt's part of a command line (after the program's name) and the program's arguments (their bytes),
// as they are before Qt takes its options out of its part.
TEST(CommandLine, qtSeesOnlyTheArgumentsBeforeTheFirstDoubleDash)
{
    using Strings = std::vector<std::string>;
    const struct {
        const char *name;
        Strings argv, qt, program;
    } cases[] = {
        {"none", {"maengelliste"}, {}, {}},
        {"a Qt option", {"maengelliste", "-reverse"}, {"-reverse"}, {"-reverse"}},
        {"-- first", {"maengelliste", "--", "-reverse"}, {}, {"--", "-reverse"}},
        {"options, then names",
         {"maengelliste", "-style", "fusion", "--", "a.mal", "--", "-b"},
         {"-style", "fusion"},
         {"-style", "fusion", "--", "a.mal", "--", "-b"}},
        {"-- last", {"maengelliste", "a.mal", "--"}, {"a.mal"}, {"a.mal", "--"}},
        {"not UTF-8", {"maengelliste", "--", "\xe4.mal"}, {}, {"--", "\xe4.mal"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Strings strings = c.argv;
        std::vector<char *> argv;
        for (std::string &a : strings)
            argv.push_back(a.data());
        startarguments::CommandLine line(int(argv.size()), argv.data());
        ASSERT_EQ(size_t(line.qtArgc()), c.qt.size() + 1);
        EXPECT_STREQ(line.qtArgv()[0], "maengelliste");
        EXPECT_EQ(line.qtArgv()[line.qtArgc()], nullptr);
        EXPECT_EQ(Strings(line.qtArgv() + 1, line.qtArgv() + line.qtArgc()), c.qt);
        Strings program;
        for (const QString &a : line.programArguments())
            program.push_back(nativename::toNative(a).toStdString());
        EXPECT_EQ(program, c.program);
    }
}

TEST_F(StartArguments, takeListFile_reportsOnTheErrorStreamAndInABox)
{
    QString written;
    QTextStream errors(&written);
    EXPECT_EQ(startarguments::takeListFile({QStringLiteral("a.mal"), QStringLiteral("b.mal")}, prompts, errors),
              QString());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(testsupport::fields(prompts.messages[0]),
              (testsupport::MessageFields{QStringLiteral("Fehler beim Aufruf"), prompts.messages[0].text}));
    EXPECT_EQ(written, QStringLiteral("maengelliste: ") + prompts.messages[0].text + u'\n');

    prompts.clear();
    written.clear();
    EXPECT_EQ(startarguments::takeListFile({}, prompts, errors), QString());
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(written.isEmpty());
}

TEST_F(StartArguments, window_opensTheNamedFileAndStillWatchesTheDefaultFile)
{
    writeDefault(starter());
    const QString other = path(QStringLiteral("andere.mal"));
    testsupport::writeFile(other, testsupport::crlf({"1", "Keller", "0", "0"}));
    form = std::make_unique<TMainForm>(prompts, dir.path(), makeStore(), other);

    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(form->windowTitle(), kBase + QStringLiteral(" - andere.mal"));
    EXPECT_EQ(doc().CurrentFileName(), other);
    EXPECT_EQ(captions(doc().AssemblyList), std::vector<std::string>{"Keller"});
    EXPECT_TRUE(form->Timer1().isActive());

    // The default file was stamped at start-up: no question until it changes.
    form->Timer1Timer();
    EXPECT_TRUE(prompts.messages.empty());
    testsupport::setFileTime(defaultFile(), 1000000000);
    prompts.answers = {Prompts::Answer::No};
    form->Timer1Timer();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Neu laden"));
    EXPECT_EQ(doc().CurrentFileName(), other);
}

TEST_F(StartArguments, window_aFileThatCannotBeReadIsReportedAsByOpen)
{
    writeDefault(starter());
    const QString folder = path(QStringLiteral("Ordner.mal"));
    QDir().mkpath(folder);
    form = std::make_unique<TMainForm>(prompts, dir.path(), makeStore(), folder);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Konnte die Datei nicht öffnen.")});
    EXPECT_EQ(form->windowTitle(), kBase);
}
