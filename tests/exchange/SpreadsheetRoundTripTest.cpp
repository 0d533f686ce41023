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

// Exports names into a temporary folder and reads back what LibreOffice Calc (headless) saves of
// them; skipped where Calc is not installed.
struct SpreadsheetRoundTrip : ::testing::Test {
    QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    const QString csv = dir.filePath(QStringLiteral("liste.csv"));

    void SetUp() override
    {
        if (soffice.isEmpty())
            GTEST_SKIP() << "soffice is not installed (Debian package libreoffice-calc-nogui; scripts/test installs it)";
        ASSERT_TRUE(dir.isValid());
    }

    bool exportNames(const std::vector<ListEntry> &names, CsvEncoding encoding = CsvEncoding::Windows1252)
    {
        EntryList exported(kColumns);
        exported.appendEntries(names);
        return exportCsv(exported, csv, prompts, encoding);
    }

    // Converts the export into dir/out<tag>/ with Calc: read with importOptions (by default ";"
    // separated, '"' quoted, Windows-1252 and German, 1031), written with exportOptions. Every run has a
    // profile and home of its own, so that runs side by side do not share a lock. Returns the written
    // file, or an empty text with the reason in failure.
    QString convertWithCalc(const QString &tag, const QString &exportOptions, QString &failure,
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

    std::vector<ListEntry> import(const QString &saved)
    {
        EntryList imported(kColumns);
        EXPECT_TRUE(importCsv(imported, saved, prompts));
        return imported.entries();
    }
};

} // namespace

TEST_F(SpreadsheetRoundTrip, namesComeBackFromLibreOfficeInWindows1252AndUtf8)
{
    const std::vector<ListEntry> names = {
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"Motor"}},
        {"\"Zitat\" am Anfang;", {";"}},
        {"Heizk\xf6rper \xfc\xe4\xdf 5 \x80", {"\xc4u\xdf\x65re H\xfclle"}},
        {"zwei\r\nZeilen", {"mit\nLF"}}, // written as backslash escapes, which Calc keeps as text
    };
    ASSERT_TRUE(exportNames(names));

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
        const QString saved =
            convertWithCalc(QString::fromLatin1(save.tag), QString::fromLatin1(save.options), failure);
        ASSERT_FALSE(saved.isEmpty()) << save.tag << ": " << failure.toStdString();
        EXPECT_TRUE(testsupport::readFile(saved).contains(save.umlaut)) << save.tag << ": saved in the wrong encoding";
        EXPECT_EQ(import(saved), names) << save.tag;
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(SpreadsheetRoundTrip, aUtf8ExportKeepsLineBreaksInTheCellAndEveryNameComesBack)
{
    const std::vector<ListEntry> names = {
        {"Fliesen gesprungen; Bad OG", {"Sanit\xe4r"}},
        {"Riss im \"Deckel\"", {"C:\\temp"}},
        {"Entw\xe4sserung \x80 5", {"Au\xdf" "enanlagen"}},
        {"zwei\nZeilen", {"Dach"}},
    };
    ASSERT_TRUE(exportNames(names, CsvEncoding::Utf8));

    const QString utf8 = QStringLiteral("59,34,76,1");
    QString failure;
    const QString saved = convertWithCalc(QStringLiteral("utf8"), utf8, failure, utf8);
    ASSERT_FALSE(saved.isEmpty()) << failure.toStdString();
    // Calc quotes a cell that holds a line break and writes the break itself: the cell had one.
    EXPECT_TRUE(testsupport::readFile(saved).contains("\"zwei\nZeilen\"")) << testsupport::readFile(saved).toStdString();
    EXPECT_EQ(import(saved), names);
    EXPECT_TRUE(prompts.messages.empty());
}
