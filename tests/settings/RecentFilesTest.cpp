#include "settings/RecentFiles.h"
#include "TestSupport.h"
#include "document/NativeName.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::readFile;

namespace {

const QString kProgram = QStringLiteral("maengelliste");

struct RecentFilesTest : ::testing::Test {
    QTemporaryDir dir;
    SettingsStore store() const { return SettingsStore(dir.path(), kProgram); }
    // A list file path in the temporary folder.
    QString file(const QString &name) const { return dir.filePath(name); }
};

} // namespace

TEST_F(RecentFilesTest, theLastUsedComesFirstAndAtMostEightAreKept)
{
    RecentFiles recent(store());
    EXPECT_TRUE(recent.paths().isEmpty());
    for (int i = 1; i <= 10; ++i)
        recent.add(file(QStringLiteral("Haus%1.mal").arg(i)));
    QStringList expected;
    for (int i = 10; i >= 3; --i)
        expected << file(QStringLiteral("Haus%1.mal").arg(i));
    EXPECT_EQ(recent.paths(), expected);

    recent.add(file(QStringLiteral("Haus5.mal")));
    expected.removeAll(file(QStringLiteral("Haus5.mal")));
    expected.prepend(file(QStringLiteral("Haus5.mal")));
    EXPECT_EQ(recent.paths(), expected) << "used again, a file moves to the top";

    recent.remove(file(QStringLiteral("Haus9.mal")));
    expected.removeAll(file(QStringLiteral("Haus9.mal")));
    EXPECT_EQ(recent.paths(), expected);
    const QByteArray ini = readFile(store().filePath());
    EXPECT_TRUE(ini.contains("Datei7=")) << ini.constData();
    EXPECT_FALSE(ini.contains("Datei8=")) << "a shorter list leaves no stale key";

    recent.clear();
    EXPECT_TRUE(recent.paths().isEmpty());
    EXPECT_FALSE(readFile(store().filePath()).contains("Datei")) << "the section goes with its keys";
}

TEST_F(RecentFilesTest, aRelativeNameIsKeptAbsolute)
{
    RecentFiles recent(store());
    recent.add(QStringLiteral("Begehung.mal"));
    EXPECT_EQ(recent.paths(), QStringList{QDir::current().absoluteFilePath(QStringLiteral("Begehung.mal"))});
}

TEST(RecentFilesValue, anyByteOfAPathComesBack)
{
    const struct {
        QByteArray path; // as the file system has it
        QString value;   // as the settings file keeps it
    } cases[] = {
        {"/home/a/Begehung.mal", QStringLiteral("/home/a/Begehung.mal")},
        {"/home/a/M\xc3\xbcller & Sohn.mal", QStringLiteral("/home/a/Müller & Sohn.mal")},
        {"/home/a/m\xe4ngel.mal", QStringLiteral("/home/a/m%E4ngel.mal")},
        {"/home/a/100%.mal", QStringLiteral("/home/a/100%25.mal")},
        {"/home/a/zwei\nZeilen\r.mal", QStringLiteral("/home/a/zwei%0AZeilen%0D.mal")},
        {"/home/a/\xf0\x9f\x8f\xa0 \xff.mal", QStringLiteral("/home/a/\U0001F3E0 %FF.mal")},
    };
    for (const auto &c : cases) {
        const QString path = nativename::fromNative(c.path);
        EXPECT_EQ(RecentFiles::encode(path), c.value) << c.path.constData();
        EXPECT_EQ(nativename::toNative(RecentFiles::decode(c.value)), c.path) << c.path.constData();
    }
}

TEST_F(RecentFilesTest, aNameThatIsNotUtf8ComesBackFromTheFile)
{
    const QString path = nativename::fromNative(QFile::encodeName(dir.path()) + "/Stra\xdf" "e.mal");
    RecentFiles(store()).add(path);
    EXPECT_EQ(RecentFiles(store()).paths(), QStringList{path});
    EXPECT_TRUE(readFile(store().filePath()).contains("/Stra%DFe.mal"));
}

TEST_F(RecentFilesTest, theProgramsOwnSectionStaysAsItWas)
{
    SettingsStore window = store(); // the window's store, open all along
    window.write(QStringLiteral("TMainForm"), QStringLiteral("NormPos"), QStringLiteral("223,115,1222,704"));
    window.write(QStringLiteral("TMainForm"), QStringLiteral("FontDialog1_FontName"), QStringLiteral("Arial"));
    window.flush();

    RecentFiles recent(store());
    recent.add(file(QStringLiteral("a.mal")));
    EXPECT_EQ(store().read(QStringLiteral("TMainForm"), QStringLiteral("NormPos")), QStringLiteral("223,115,1222,704"));
    EXPECT_EQ(store().read(QStringLiteral("TMainForm"), QStringLiteral("FontDialog1_FontName")), QStringLiteral("Arial"));

    // The window saves its settings at the close, after the list changed meanwhile.
    window.write(QStringLiteral("TMainForm"), QStringLiteral("NormPos"), QStringLiteral("0,0,800,600"));
    window.flush();
    EXPECT_EQ(recent.paths(), QStringList{file(QStringLiteral("a.mal"))});
    EXPECT_EQ(store().read(QStringLiteral("TMainForm"), QStringLiteral("NormPos")), QStringLiteral("0,0,800,600"));
}

TEST_F(RecentFilesTest, twoRunningProgramsShareOneList)
{
    RecentFiles first(store());
    RecentFiles second(store());
    first.add(file(QStringLiteral("a.mal")));
    second.add(file(QStringLiteral("b.mal")));
    EXPECT_EQ(first.paths(), (QStringList{file(QStringLiteral("b.mal")), file(QStringLiteral("a.mal"))}));

    second.clear();
    first.add(file(QStringLiteral("c.mal")));
    EXPECT_EQ(second.paths(), QStringList{file(QStringLiteral("c.mal"))}) << "the clearing is not undone";
}

TEST(RecentFilesText, menuEntriesAndTheWarning)
{
    EXPECT_EQ(RecentFiles::menuText(0, QStringLiteral("/home/a/Begehung.mal")), QStringLiteral("&1 Begehung.mal"));
    EXPECT_EQ(RecentFiles::menuText(7, QStringLiteral("/home/a/Müller & Sohn.mal")),
              QStringLiteral("&8 Müller && Sohn.mal"));
    EXPECT_EQ(RecentFiles::missingFileText(QStringLiteral("/home/a/Name.mal")),
              QStringLiteral("Die Datei „Name.mal“ gibt es nicht mehr."));
}
