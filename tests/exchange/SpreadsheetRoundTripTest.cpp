// A defect list exported, opened and saved again as CSV by LibreOffice Calc (headless), and imported.
#include "ScriptedPrompts.h"
#include "TestSupport.h"
#include "exchange/CsvExchange.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// Shows an entry as {caption | sub-items} in a failure, with CR and LF visible.
void PrintTo(const ListEntry &e, std::ostream *os)
{
    std::string text(e.caption());
    for (std::size_t i = 0; i < e.subItemCount(); ++i)
        text += " | " + std::string(e.subItem(i));
    *os << '{';
    for (const char c : text)
        *os << (c == '\r' ? "<CR>" : c == '\n' ? "<LF>" : std::string(1, c));
    *os << '}';
}

namespace {

const QStringList kColumns{QStringLiteral("Mangel"), QStringLiteral("Baugruppe")};

// Converts csv into dir/out<tag>/ with Calc: read with importOptions (by default ";" separated, '"'
// quoted, Windows-1252 and German, 1031), written with exportOptions. Every run has a profile and home of its own, so that
// runs side by side do not share a lock. Returns the written file, or an empty text with the reason
// in failure.
QString convertWithCalc(const QString &soffice, const QTemporaryDir &dir, const QString &csv, const QString &tag,
                        const QString &exportOptions, QString &failure,
                        const QString &importOptions = QStringLiteral("59,34,1,1,,1031"))
{
    const QString home = dir.filePath(QStringLiteral("home-") + tag);
    const QString outDir = dir.filePath(QStringLiteral("out-") + tag);
    QDir().mkpath(home);
    QProcess calc;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    calc.setProcessEnvironment(env);
    calc.setProcessChannelMode(QProcess::MergedChannels);
    calc.start(soffice,
               {QStringLiteral("-env:UserInstallation=") +
                    QUrl::fromLocalFile(dir.filePath(QStringLiteral("profile-") + tag)).toString(),
                QStringLiteral("--headless"), QStringLiteral("--norestore"),
                QStringLiteral("--infilter=Text - txt - csv (StarCalc):") + importOptions,
                QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):") + exportOptions,
                QStringLiteral("--outdir"), outDir, csv});
    if (!calc.waitForFinished(300'000) || calc.exitStatus() != QProcess::NormalExit || calc.exitCode() != 0) {
        calc.kill();
        failure = QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(calc.readAll());
        return {};
    }
    const QString out = outDir + QStringLiteral("/liste.csv");
    if (!QFile::exists(out))
        failure = QStringLiteral("soffice wrote nothing: ") + QString::fromLocal8Bit(calc.readAll());
    return QFile::exists(out) ? out : QString();
}

} // namespace

TEST(SpreadsheetRoundTrip, namesComeBackFromLibreOfficeInWindows1252AndUtf8)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed (Debian package libreoffice-calc-nogui; scripts/test installs it)";

    const std::vector<ListEntry> names = {
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"Motor"}},
        {"\"Zitat\" am Anfang;", {";"}},
        {"Heizk\xf6rper \xfc\xe4\xdf 5 \x80", {"\xc4u\xdf\x65re H\xfclle"}},
        {"zwei\r\nZeilen", {"mit\nLF"}}, // written as backslash escapes, which Calc keeps as text
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedPrompts prompts;
    EntryList exported(kColumns);
    exported.appendEntries(names);
    const QString csv = dir.filePath(QStringLiteral("liste.csv"));
    ASSERT_TRUE(exportCsv(exported, csv, prompts));

    const struct {
        const char *tag;
        const char *options;
        QByteArray umlaut; // how the file holds "ä"
    } saves[] = {
        {"cp1252", "59,34,1,1", "\xe4"},
        {"utf8", "59,34,76,1", "\xc3\xa4"},
    };
    for (const auto &save : saves) {
        QString failure;
        const QString saved = convertWithCalc(soffice, dir, csv, QString::fromLatin1(save.tag),
                                              QString::fromLatin1(save.options), failure);
        ASSERT_FALSE(saved.isEmpty()) << save.tag << ": " << failure.toStdString();
        EXPECT_TRUE(testsupport::readFile(saved).contains(save.umlaut)) << save.tag << ": saved in the wrong encoding";

        EntryList imported(kColumns);
        ASSERT_TRUE(importCsv(imported, saved, prompts));
        EXPECT_EQ(imported.entries(), names) << save.tag;
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST(SpreadsheetRoundTrip, aUtf8ExportKeepsLineBreaksInTheCellAndEveryNameComesBack)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed (Debian package libreoffice-calc-nogui; scripts/test installs it)";

    const std::vector<ListEntry> names = {
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"C:\\temp"}},
        {"Entw\xe4sserung \x80 5", {"Au\xdf" "enanlagen"}},
        {"zwei\nZeilen", {"Dach"}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedPrompts prompts;
    EntryList exported(kColumns);
    exported.appendEntries(names);
    const QString csv = dir.filePath(QStringLiteral("liste.csv"));
    ASSERT_TRUE(exportCsv(exported, csv, prompts, CsvEncoding::Utf8));

    const QString utf8 = QStringLiteral("59,34,76,1");
    QString failure;
    const QString saved = convertWithCalc(soffice, dir, csv, QStringLiteral("utf8"), utf8, failure, utf8);
    ASSERT_FALSE(saved.isEmpty()) << failure.toStdString();
    // Calc quotes a cell that holds a line break and writes the break itself: the cell had one.
    EXPECT_TRUE(testsupport::readFile(saved).contains("\"zwei\nZeilen\"")) << testsupport::readFile(saved).toStdString();

    EntryList imported(kColumns);
    ASSERT_TRUE(importCsv(imported, saved, prompts));
    EXPECT_EQ(imported.entries(), names);
    EXPECT_TRUE(prompts.messages.empty());
}
