#include "document/FileError.h"

#include "document/Prompts.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

QString FileError::reason() const
{
    // The program's own words for what users meet; the machines may have no German locale for the
    // system's texts.
    switch (code) {
    case kFormat: return QStringLiteral("Ungültiges Format");
    case EACCES: return QStringLiteral("Keine Berechtigung");
    case EPERM: return QStringLiteral("Die Operation ist nicht erlaubt");
    case ENOENT: return QStringLiteral("Datei oder Ordner nicht gefunden");
    case ENOSPC: return QStringLiteral("Kein Speicherplatz mehr auf dem Gerät");
    case EDQUOT: return QStringLiteral("Das Speicherkontingent ist erschöpft");
    case EROFS: return QStringLiteral("Das Dateisystem ist nur lesbar");
    case EFBIG: return QStringLiteral("Die Datei ist zu groß");
    case EISDIR: return QStringLiteral("Ist ein Ordner");
    case ENOTDIR: return QStringLiteral("Ein Teil des Pfades ist kein Ordner");
    case EIO: return QStringLiteral("Ein- oder Ausgabefehler");
    case ENOMEM: return QStringLiteral("Nicht genügend Arbeitsspeicher");
    default: break;
    }
    return QString::fromLocal8Bit(std::strerror(code));
}

QString failureDetail(const QString &path, FileError error)
{
    if (error.code == 0)
        return {};
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? error.reason() : name + QStringLiteral(": ") + error.reason();
}

void showFailure(Prompts &prompts, const QString &caption, const QString &text, const QString &path,
                 FileError error)
{
    prompts.message({caption, text, Prompts::Icon::Error, Prompts::Buttons::Ok, Prompts::Answer::Ok,
                     failureDetail(path, error)});
}
