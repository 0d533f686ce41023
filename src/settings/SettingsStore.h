#pragma once

#include "document/FileError.h"
#include "settings/IniFile.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// The per-user settings of one program: a tree of text values, kept in the INI file
// <folder>/<program>.ini with one section per window (e.g. ~/.config/maengelliste.ini, section [TMainForm]).
// Section and value names match without regard to case. A flush rewrites only the lines of the values
// written since the last one, each section's together in the order they were first written; every
// other line stays as it was (IniFile).
//
// The file plays the part of the program key: open() creates it, empty, when it is missing. Writes are
// collected and go to the disk together at flush(), which merges them into the file as it is then (so
// that a second instance's values stay) and replaces it in one step (all values or none; in place
// where the folder allows no new file); a failure names the first value that was not written. A file that cannot be read or parsed
// reads as empty, and is not overwritten while it cannot be read; so does anything but a regular file
// (a FIFO, a device), which is not even opened for reading.
//
//   SettingsStore store = SettingsStore::forThisProgram();
//   store.open();
//   std::optional<QString> v = store.read("TMainForm", "NormPos");   // none when missing
//   store.write("TMainForm", "FormVersion", "0");
//   store.flush();                                                   // throws SettingsError
//   store.close();
class SettingsStore {
public:
    SettingsStore(QString folder, QString programName);
    SettingsStore(SettingsStore &&) noexcept;
    SettingsStore &operator=(SettingsStore &&) noexcept;
    ~SettingsStore();

    // $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
    static QString defaultFolder();
    // The executable's file name without its directory and its last extension.
    //   "/opt/mal/maengelliste" => "maengelliste",  "C:/x/defects.exe" => "defects",  "a.b.exe" => "a.b"
    static QString programNameOf(const QString &executablePath);
    // The store of the running program in the default folder.
    static SettingsStore forThisProgram();

    const QString &folder() const { return m_folder; }
    const QString &programName() const { return m_programName; }
    QString filePath() const;

    // Opens the store, creating its folder and an empty file when missing.
    // Throws SettingsError ("Erzeugung von Schlüssel <file> misslungen") when that fails.
    void open();
    // Closes the store; values whose flush() failed are dropped.
    void close();
    bool isOpen() const { return m_open; }

    // The text stored under `name` in `section`, or none when there is no such value. Opens the store
    // when it is closed.
    std::optional<QString> read(const QString &section, const QString &name);
    // Stores `value` under `name` in `section`, to be written by flush(). Opens the store when it is closed.
    void write(const QString &section, const QString &name, const QString &value);
    // Takes the value out of the file at the next flush(); nothing when there is no such value.
    void remove(const QString &section, const QString &name);
    // Writes the file. Throws SettingsError ("Konnte Daten für '<name>' nicht setzen", naming the first
    // value written since the last flush, with the file and the reason) when it cannot be written.
    void flush();
    // Read, change and write as one step among the running instances: under the lock that flush()
    // takes, the file is read afresh, change() reads, writes and removes values, and what it changed
    // is written at once, so that another instance's update cannot fall in between and be lost.
    // Throws SettingsError as flush() does.
    void update(const std::function<void()> &change);

private:
    QString m_folder;
    QString m_programName;
    // Reads the file into m_file, or gives the reason it cannot be read.
    FileResult<void> load();
    void change(const QString &section, const QString &name, std::optional<QString> value);
    // flush() once the lock is held.
    void writeLocked();
    QString lockPath() const { return filePath() + QStringLiteral(".lock"); }

    bool m_open = false;
    IniFile m_file;                      // the file as last read
    std::vector<IniFile::Change> m_pending; // written since the last successful flush, once per value
    QString m_firstPending; // first value name written since the last flush
    bool m_unusable = false; // the file is no regular file or unreadable: nothing is read, writes fail
    FileError m_unusableReason;
};
