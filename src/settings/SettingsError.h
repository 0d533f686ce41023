#pragma once

#include "document/FileError.h"

#include <QString>

#include <stdexcept>

// A failure of the settings store, carrying the German text the window shows to the user.
class SettingsError : public std::runtime_error {
public:
    explicit SettingsError(const QString &text, const QString &path = {}, FileError reason = {});

    const QString &text() const { return m_text; }
    // The file that could not be written and why; no reason for the other failures.
    const QString &path() const { return m_path; }
    FileError reason() const { return m_reason; }

    // "Ungültiger Datentyp für 'Flags'": a stored value is not a text.
    static SettingsError invalidType(const QString &valueName);
    // "Erzeugung von Schlüssel /home/u/.config/maengelliste.ini misslungen": the store cannot be created.
    static SettingsError cannotCreateKey(const QString &keyName);
    // "Konnte Daten für 'FormVersion' nicht setzen": a value cannot be written.
    static SettingsError cannotWrite(const QString &valueName, const QString &path = {}, FileError reason = {});

private:
    QString m_text;
    QString m_path;
    FileError m_reason;
};
