#include "settings/SettingsError.h"

SettingsError::SettingsError(const QString &text, const QString &path, FileError reason)
    : std::runtime_error(text.toStdString()), m_text(text), m_path(path), m_reason(reason)
{
}

SettingsError SettingsError::invalidType(const QString &valueName)
{
    return SettingsError(QStringLiteral("Ungültiger Datentyp für '%1'").arg(valueName));
}

SettingsError SettingsError::cannotCreateKey(const QString &keyName)
{
    return SettingsError(QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(keyName));
}

SettingsError SettingsError::cannotWrite(const QString &valueName, const QString &path, FileError reason)
{
    return SettingsError(QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(valueName), path, reason);
}
