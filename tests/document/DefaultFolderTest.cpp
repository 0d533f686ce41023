#include "TestSupport.h"
#include "document/DefaultFolder.h"
#include "document/SafeFile.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using defaultfolder::Place;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

TEST(DefaultFolder, choosesTheProgramFolderOnlyWhereItCanKeepAWritableListFile)
{
    struct Row {
        bool exists, writable, folderWritable, installedStarter;
        Place place;
    };
    const Row rows[] = {
        {true, true, true, false, Place::ProgramFolder},   // per-user install, build tree
        {true, true, false, false, Place::ProgramFolder},  // the file is writable in a locked folder
        {true, true, true, true, Place::ProgramFolder},    // a writable file beside the program wins
        {false, false, true, false, Place::ProgramFolder}, // deleted: the start reports it, Save As recreates it
        {false, false, false, true, Place::DataFolder},    // /usr/bin for a user
        {false, false, true, true, Place::DataFolder},     // /usr/bin for root: no list file in /usr/bin
        {true, false, true, false, Place::DataFolder},     // a read-only list file
        {false, false, false, false, Place::DataFolder},   // a folder the user cannot write
    };
    for (const Row &row : rows) {
        const defaultfolder::Probe probe{row.exists, row.writable, row.folderWritable, row.installedStarter};
        EXPECT_EQ(defaultfolder::choose(probe), row.place)
            << row.exists << row.writable << row.folderWritable << row.installedStarter;
    }
}

struct DefaultFolderPrepare : ::testing::Test {
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("usr/bin"));
    const QString data = dir.filePath(QStringLiteral("home/.local/share/maengelliste"));
    const QString starter = dir.filePath(QStringLiteral("usr/share/maengelliste/mängel.mal"));
    const QByteArray starterBytes = testsupport::crlf({"1", "Dach", "0", "0"});
    QString problem = QStringLiteral("unset");

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(bin));
    }
    void installStarter()
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(starter).path()));
        writeFile(starter, starterBytes);
        QFile::setPermissions(starter, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
};

TEST_F(DefaultFolderPrepare, aProgramFolderWithItsListKeepsItAndTouchesNoDataFolder)
{
    writeFile(bin + QStringLiteral("/mängel.mal"), starterBytes);
    EXPECT_EQ(defaultfolder::prepare(bin, data, &problem), bin + u'/');
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data));
}

TEST_F(DefaultFolderPrepare, aProgramFolderNamedInAnotherEncodingKeepsItsListFile)
{
    testsupport::NativeNames names(dir.path());
    const QString folder = names.folder("Pr\xfc" "fung");
    ASSERT_TRUE(safefile::writeAll(names.path("Pr\xfc" "fung/m\xc3\xa4ngel.mal"), starterBytes));
    EXPECT_EQ(defaultfolder::prepare(folder, data, &problem), folder + u'/');
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_FALSE(QFileInfo::exists(data));
    // The link's bytes name the folder of this test as Qt does, its name being UTF-8.
    EXPECT_EQ(defaultfolder::executableFolder(), QCoreApplication::applicationDirPath());
}

TEST_F(DefaultFolderPrepare, anInstallForAllUsersCopiesTheStarterOnceAndMakesTheCopyWritable)
{
    installStarter();
    EXPECT_EQ(defaultfolder::installedStarterFile(bin), starter);
    const QString list = data + QStringLiteral("/mängel.mal");
    EXPECT_EQ(defaultfolder::prepare(bin, data, &problem), data + u'/');
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_EQ(readFile(list), starterBytes);
    EXPECT_TRUE(QFile::permissions(list) & QFile::WriteOwner);
    EXPECT_FALSE(QFileInfo::exists(bin + QStringLiteral("/mängel.mal")));

    // The user's catalogue is never replaced by the starter file again.
    const QByteArray own = testsupport::crlf({"1", "Keller", "0", "0"});
    writeFile(list, own);
    EXPECT_EQ(defaultfolder::prepare(bin, data, &problem), data + u'/');
    EXPECT_EQ(readFile(list), own);
}

TEST_F(DefaultFolderPrepare, aCopyThatFailsIsNamedAndTheFolderStaysTheDataFolder)
{
    installStarter();
    // The data folder cannot be made: a file stands where its parent would be.
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("home/.local"))));
    writeFile(dir.filePath(QStringLiteral("home/.local/share")), "kein Ordner");
    EXPECT_EQ(defaultfolder::prepare(bin, data, &problem), data + u'/');
    EXPECT_TRUE(problem.contains(QStringLiteral("konnte nicht nach"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QDir::toNativeSeparators(starter))) << problem.toStdString();
}

TEST_F(DefaultFolderPrepare, withoutAStarterFileNothingIsCopiedAndNothingReported)
{
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
    const bool locked = !QFileInfo(bin).isWritable();
    const QString folder = defaultfolder::prepare(bin, data, &problem);
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(folder, locked ? data + u'/' : bin + u'/'); // root may write any folder
    EXPECT_TRUE(problem.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(data));
}

} // namespace
