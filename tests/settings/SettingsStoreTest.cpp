#include "settings/SettingsStore.h"
#include "TestSupport.h"
#include "settings/SettingsError.h"
#include "settings/SettingsLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {
const QString kSection = QStringLiteral("TMainForm");
}

TEST(SettingsStore, programIsNamedAfterTheExecutableWithoutExtension)
{
    EXPECT_EQ(SettingsStore::programNameOf(QStringLiteral("/opt/mal/maengelliste")), QStringLiteral("maengelliste"));
    EXPECT_EQ(SettingsStore::programNameOf(QStringLiteral("C:\\x\\defects.exe")), QStringLiteral("defects"));
    EXPECT_EQ(SettingsStore::programNameOf(QStringLiteral("a.b.exe")), QStringLiteral("a.b"));
    EXPECT_EQ(SettingsStore::programNameOf(QStringLiteral("/x.d/.hidden")), QStringLiteral(".hidden"));
}

TEST(SettingsStore, configFolderFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg-test");
    EXPECT_EQ(SettingsStore::defaultFolder(), QStringLiteral("/tmp/cfg-test"));
    qputenv("XDG_CONFIG_HOME", "relative/path");
    EXPECT_EQ(SettingsStore::defaultFolder(), QDir::homePath() + QStringLiteral("/.config"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsStore::defaultFolder(), QDir::homePath() + QStringLiteral("/.config"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(SettingsStore, keysStayLiteralAndValuesVerbatim)
{
    QTemporaryDir dir;
    SettingsStore store(dir.path() + QStringLiteral("/sub"), QStringLiteral("maengelliste"));
    store.open();
    EXPECT_EQ(readFile(store.filePath()), QByteArray()) << "opening creates an empty file";
    const QString texts[] = {QStringLiteral("223,115,1222,704"), QStringLiteral("\"quoted\", a=b; c"),
                             QStringLiteral("[fsBold,fsItalic]"), QStringLiteral("Grüße \\n %41")};
    store.write(kSection, QStringLiteral("MinMaxPos(1280x1024)"), texts[0]);
    store.write(kSection, QStringLiteral("a"), texts[1]);
    store.write(kSection, QStringLiteral("b"), texts[2]);
    store.write(kSection, QStringLiteral("c"), texts[3]);
    store.flush();
    store.close();
    EXPECT_EQ(readFile(store.filePath()), QByteArray("[TMainForm]\n"
                                                     "MinMaxPos(1280x1024)=223,115,1222,704\n"
                                                     "a=\"quoted\", a=b; c\n"
                                                     "b=[fsBold,fsItalic]\n"
                                                     "c=Grüße \\n %41\n"));
    EXPECT_EQ(store.read(kSection, QStringLiteral("MinMaxPos(1280x1024)")), texts[0]);
    EXPECT_EQ(store.read(kSection, QStringLiteral("a")), texts[1]);
    EXPECT_EQ(store.read(kSection, QStringLiteral("b")), texts[2]);
    EXPECT_EQ(store.read(kSection, QStringLiteral("c")), texts[3]);
    EXPECT_EQ(store.read(kSection, QStringLiteral("missing")), std::nullopt);
}

TEST(SettingsStore, readsHandWrittenFilesLeniently)
{
    QTemporaryDir dir;
    SettingsStore store(dir.path(), QStringLiteral("p"));
    writeFile(store.filePath(), "top=1\r\n"
                                "; comment=no\r\n"
                                "garbage line without equals\r\n"
                                "[Other]\r\n"
                                "NormPos=9\r\n"
                                "  [ TMainForm ]  \r\n"
                                "  NormPos = 223, 115,1222,704\r\n"
                                "=no key\r\n"
                                "Dup=first\r\n"
                                "Dup=second\r\n"
                                "Empty=\r\n"
                                "Cut=12");
    EXPECT_EQ(store.read(kSection, QStringLiteral("NormPos")), QStringLiteral(" 223, 115,1222,704"));
    EXPECT_EQ(store.read(QStringLiteral("Other"), QStringLiteral("NormPos")), QStringLiteral("9"));
    EXPECT_EQ(store.read(kSection, QStringLiteral("Dup")), QStringLiteral("second"));
    EXPECT_EQ(store.read(kSection, QStringLiteral("Empty")), QString());
    EXPECT_EQ(store.read(kSection, QStringLiteral("Cut")), QStringLiteral("12"));
    EXPECT_EQ(store.read(kSection, QStringLiteral("comment")), std::nullopt);
    EXPECT_EQ(store.read(kSection, QStringLiteral("top")), std::nullopt);
}

TEST(SettingsStore, garbageReadsAsEmptyAndTakesTheNextWrite)
{
    QTemporaryDir dir;
    SettingsStore store(dir.path(), QStringLiteral("p"));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919) % 251 + (i % 3 == 0 ? 0 : 3));
    garbage += QByteArray("\0\0\xff\xfe[", 5);
    writeFile(store.filePath(), garbage);
    EXPECT_EQ(store.read(kSection, QStringLiteral("FormVersion")), std::nullopt);
    store.write(kSection, QStringLiteral("FormVersion"), QStringLiteral("0"));
    store.flush();
    store.close();
    EXPECT_EQ(store.read(kSection, QStringLiteral("FormVersion")), QStringLiteral("0"));
}

TEST(SettingsStore, failuresCarryTheUserTexts)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("file")), "x");
    SettingsStore underAFile(dir.filePath(QStringLiteral("file/cfg")), QStringLiteral("p"));
    try {
        underAFile.open();
        FAIL() << "no error";
    } catch (const SettingsError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(underAFile.filePath()));
    }

    SettingsStore onADirectory(dir.path(), QStringLiteral("p"));
    ASSERT_TRUE(QDir().mkpath(onADirectory.filePath()));
    try {
        onADirectory.write(kSection, QStringLiteral("NormPos"), QStringLiteral("1,2,3,4"));
        onADirectory.write(kSection, QStringLiteral("Flags"), QStringLiteral("0"));
        onADirectory.flush();
        FAIL() << "no error";
    } catch (const SettingsError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Konnte Daten für 'NormPos' nicht setzen"));
        EXPECT_EQ(failureDetail(e.path(), e.reason()), QStringLiteral("p.ini: Ist ein Verzeichnis"));
    }
}

TEST(SettingsStore, aSpecialFileInThePlaceOfTheFileIsNeitherReadNorReplaced)
{
    QTemporaryDir dir;
    SettingsStore store(dir.path(), QStringLiteral("prog"));
    const QByteArray file = QFile::encodeName(store.filePath());
    for (const char *kind : {"fifo", "devzero"}) {
        SCOPED_TRACE(kind);
        ::unlink(file.constData());
        ASSERT_EQ(std::string(kind) == "fifo" ? ::mkfifo(file.constData(), 0644) : ::symlink("/dev/zero", file.constData()), 0);
        store.open(); // neither waits for a writer nor reads without end
        EXPECT_EQ(store.read(kSection, QStringLiteral("NormPos")), std::nullopt);
        store.write(kSection, QStringLiteral("FormVersion"), QStringLiteral("0"));
        EXPECT_THROW(store.flush(), SettingsError);
        store.close();
        struct stat st {};
        ASSERT_EQ(::lstat(file.constData(), &st), 0);
        EXPECT_TRUE(std::string(kind) == "fifo" ? S_ISFIFO(st.st_mode) : S_ISLNK(st.st_mode)) << "left as it was";
    }
}

TEST(SettingsStore, aLockThatIsNoRegularFileIsPassedByAndTheFileWritten)
{
    const struct {
        const char *kind;
        int (*make)(const char *path);
        bool (*stays)(const struct stat &);
    } rows[] = {
        {"fifo", [](const char *p) { return ::mkfifo(p, 0600); }, [](const struct stat &s) { return S_ISFIFO(s.st_mode); }},
        {"link", [](const char *p) { return ::symlink("/dev/zero", p); }, [](const struct stat &s) { return S_ISLNK(s.st_mode); }},
        {"folder", [](const char *p) { return ::mkdir(p, 0700); }, [](const struct stat &s) { return S_ISDIR(s.st_mode); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.kind);
        QTemporaryDir dir;
        SettingsStore store(dir.path(), QStringLiteral("maengelliste"));
        const QByteArray lock = QFile::encodeName(store.filePath() + QStringLiteral(".lock"));
        ASSERT_EQ(row.make(lock.constData()), 0);
        EXPECT_FALSE(SettingsLock(QFile::decodeName(lock)).held());
        store.write(kSection, QStringLiteral("FormVersion"), QStringLiteral("0"));
        store.flush(); // neither waits on the FIFO, nor reads the device, nor waits out the folder
        EXPECT_EQ(readFile(store.filePath()), "[TMainForm]\nFormVersion=0\n");
        struct stat st {};
        ASSERT_EQ(::lstat(lock.constData(), &st), 0);
        EXPECT_TRUE(row.stays(st)) << "left as it was";
    }
}

TEST(SettingsStore, aRegularLockKeepsASecondWriterOutAndGoesWithItsHolder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ini.lock"));
    {
        const SettingsLock first(path);
        EXPECT_TRUE(first.held());
        EXPECT_FALSE(SettingsLock(path, std::chrono::milliseconds(0)).held());
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    writeFile(path, "12345\n"); // left by a program that ended without removing it
    EXPECT_TRUE(SettingsLock(path).held());
    EXPECT_FALSE(QFileInfo::exists(path));
}
