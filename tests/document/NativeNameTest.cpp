// File names whose bytes are not UTF-8 lead back to the same bytes, and so to the same file.
#include "document/FileStamp.h"
#include "document/NativeName.h"
#include "document/SafeFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// The text of UTF-16 code units as given, unpaired surrogates included.
QString utf16(std::u16string_view units)
{
    return QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
}

TEST(NativeName, bytesComeBackAsTheyWereGiven)
{
    const struct {
        const char *name;
        QByteArray bytes;
        QString text; // empty: not checked
    } cases[] = {
        {"UTF-8", "mängel.mal", QStringLiteral("mängel.mal")},
        {"Latin-1 byte", "m\xe4ngel.mal", utf16(u"m\xdce4ngel.mal")},
        {"lone continuation byte", "a\x80z", utf16(u"a\xdc80z")},
        {"cut sequence at the end", "Riss \xc3", utf16(u"Riss \xdcc3")},
        {"overlong slash", "a\xc0\xafz", utf16(u"a\xdcc0\xdcafz")},
        {"encoded surrogate", "\xed\xb2\x80", utf16(u"\xdced\xdcb2\xdc80")},
        {"character beyond the BMP", "\xf0\x9f\x8f\xa0.mal", QString::fromUtf8("\xf0\x9f\x8f\xa0.mal")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString text = nativename::fromNative(c.bytes);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(nativename::toNative(text), c.bytes);
    }
}

TEST(NativeName, aFileWithSuchANameIsReadWrittenAndStamped)
{
    QTemporaryDir dir;
    const QByteArray bytes = QFile::encodeName(dir.path()) + "/m\xe4ngel.mal";
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "0\r\n", 3), 3);
    ::close(fd);
    const QString name = nativename::fromNative(bytes);
    EXPECT_EQ(*safefile::readAll(name), QByteArray("0\r\n"));
    EXPECT_TRUE(FileStamp::of(name).exists);
    EXPECT_TRUE(safefile::writeAll(name, "1\r\n"));
    EXPECT_EQ(*safefile::readAll(name), QByteArray("1\r\n"));
    // Qt itself neither lists nor removes such a name.
    int files = 0;
    if (DIR *folder = ::opendir(QFile::encodeName(dir.path()).constData())) {
        while (const dirent *entry = ::readdir(folder))
            files += entry->d_name[0] != '.';
        ::closedir(folder);
    }
    EXPECT_EQ(files, 1) << "no file of a lossy name";
    ::unlink(bytes.constData());
}

} // namespace
