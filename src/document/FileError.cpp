#include "document/FileError.h"

#include "document/Prompts.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

QString FileError::reason() const
{
    // The program's own words for what users meet, as a German system states them; the machines may
    // have no German locale for the system's texts.
    switch (code) {
    case kFormat: return QStringLiteral("Ungültiges Format");
    case EACCES:
    case EPERM: return QStringLiteral("Keine Berechtigung");
    case ENOENT: return QStringLiteral("Datei oder Verzeichnis nicht gefunden");
    case ENOSPC: return QStringLiteral("Kein Speicherplatz mehr auf dem Gerät");
    case EDQUOT: return QStringLiteral("Der zugewiesene Plattenplatz (Quota) ist überschritten");
    case EROFS: return QStringLiteral("Das Dateisystem ist nur lesbar");
    case EFBIG: return QStringLiteral("Datei zu groß");
    case EISDIR: return QStringLiteral("Ist ein Verzeichnis");
    case ENOTDIR: return QStringLiteral("Ist kein Verzeichnis");
    case EIO: return QStringLiteral("Eingabe-/Ausgabefehler");
    case ENOMEM: return QStringLiteral("Nicht genügend Arbeitsspeicher");
    default: break;
    }
    return QString::fromLocal8Bit(std::strerror(code));
}

QString failureDetail(const QString &path, const QString &reason)
{
    if (reason.isEmpty())
        return {};
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? reason : name + QStringLiteral(": ") + reason;
}

QString failureDetail(const QString &path, FileError error)
{
    return failureDetail(path, error.code == 0 ? QString() : error.reason());
}

void showFailure(Prompts &prompts, const QString &caption, const QString &text, const QString &path,
                 const QString &reason)
{
    prompts.message({caption, text, Prompts::Icon::Error, Prompts::Buttons::Ok, Prompts::Answer::Ok,
                     failureDetail(path, reason)});
}

void showFailure(Prompts &prompts, const QString &caption, const QString &text, const QString &path,
                 FileError error)
{
    showFailure(prompts, caption, text, path, error.code == 0 ? QString() : error.reason());
}
