#include "document/FileError.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

// The reasons a failure's message names: the program's own German words for the common causes, the
// system's text for any other, behind the file's name.
TEST(FileError, namesTheFileAndTheReason)
{
    const struct {
        int code;
        const char *detail;
    } rows[] = {
        {EACCES, "Begehung.mal: Keine Berechtigung"},
        {EPERM, "Begehung.mal: Keine Berechtigung"},
        {ENOENT, "Begehung.mal: Datei oder Verzeichnis nicht gefunden"},
        {ENOSPC, "Begehung.mal: Kein Speicherplatz mehr auf dem Gerät"},
        {EDQUOT, "Begehung.mal: Der zugewiesene Plattenplatz (Quota) ist überschritten"},
        {EROFS, "Begehung.mal: Das Dateisystem ist nur lesbar"},
        {EFBIG, "Begehung.mal: Datei zu groß"},
        {EISDIR, "Begehung.mal: Ist ein Verzeichnis"},
        {ENOTDIR, "Begehung.mal: Ist kein Verzeichnis"},
        {EIO, "Begehung.mal: Eingabe-/Ausgabefehler"},
        {ENOMEM, "Begehung.mal: Nicht genügend Arbeitsspeicher"},
        {FileError::kFormat, "Begehung.mal: Ungültiges Format"},
        {ELOOP, nullptr}, // the system's own text
        {EINVAL, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        const QString expected = row.detail ? QString::fromUtf8(row.detail)
                                            : QStringLiteral("Begehung.mal: ") + QString::fromLocal8Bit(std::strerror(row.code));
        EXPECT_EQ(failureDetail(QStringLiteral("/home/prüfer/Begehung.mal"), FileError{row.code}), expected);
    }
    EXPECT_EQ(failureDetail(QString(), FileError{ENOENT}), QStringLiteral("Datei oder Verzeichnis nicht gefunden"))
        << "no name, the reason alone";
    EXPECT_EQ(failureDetail(QStringLiteral("/a/b.mal"), FileError{}), QString()) << "no reason, no detail";
}
