#include "settings/SettingsError.h"

SettingsError::SettingsError(const QString &text) : std::runtime_error(text.toStdString()), m_text(text)
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

SettingsError SettingsError::cannotWrite(const QString &valueName)
{
    return SettingsError(QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(valueName));
}
