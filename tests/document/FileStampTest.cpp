#include "TestSupport.h"
#include "document/FileStamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(FileStamp, changesWithEveryRewriteAndReplacement)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("mängel.mal"));
    EXPECT_EQ(FileStamp::of(file), FileStamp::missing());

    testsupport::writeFile(file, "0\r\n0\r\n0\r\n");
    const FileStamp first = FileStamp::of(file);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(FileStamp::of(file), first);

    testsupport::setFileTime(file, 1000000000);
    const FileStamp touched = FileStamp::of(file);
    EXPECT_NE(touched, first);

    // Replaced by a rename with the same size and time, as editors save.
    const QString other = dir.filePath(QStringLiteral("tmp"));
    testsupport::writeFile(other, "0\r\n0\r\n0\r\n");
    testsupport::setFileTime(other, 1000000000);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::rename(other, file));
    EXPECT_NE(FileStamp::of(file), touched);

    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("mängel.mal")));
    EXPECT_EQ(FileStamp::of(file), FileStamp::missing()) << "a folder counts as missing";
}
