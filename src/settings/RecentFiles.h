#pragma once

#include "settings/SettingsStore.h"

#include <QString>
#include <QStringList>

// The list files used last, newest first, as the settings file keeps them for every running
// instance of the program: section [ZuletztGeoeffnet], keys Datei1 … Datei8.
//
// Every change reads the list from the file, changes it and writes it back at once, all under the
// store's lock, so that two running programs share one list and a change in one is not undone by
// the other; paths() reads the file afresh. The file's other sections and values stay as they are.
//
// A value holds the path's bytes as the file system has them: valid UTF-8 as it is, every other
// byte, a "%" and a control character as "%" and two hex digits:
//   "/home/a/Begehung.mal" => "/home/a/Begehung.mal"     "/home/a/m\xe4ngel.mal" => "/home/a/m%E4ngel.mal"
// In the program such bytes are kept as nativename gives them, so a name that is not UTF-8 comes
// back as the same file.
class RecentFiles {
public:
    static constexpr int kMaxFiles = 8;

    // The list kept in the settings file of `store` (a store of its own; it is opened when needed).
    explicit RecentFiles(SettingsStore store);

    // The paths, newest first, as the file holds them now; empty values and repeats are skipped.
    // A file that cannot be read gives an empty list.
    QStringList paths();
    // Puts path (made absolute) at the top, moving it there when it is in the list; the ninth and
    // later fall off. Throws SettingsError when the file cannot be written, as every change does.
    void add(const QString &path);
    // Takes path out of the list (a file that no longer exists).
    void remove(const QString &path);
    // Empties the list.
    void clear();

    // The text of a menu entry: "&1 Begehung.mal" for index 0; an "&" of the name is doubled, so it
    // shows as itself.
    static QString menuText(int index, const QString &path);
    // The warning for a file that is gone: "Die Datei „Begehung.mal“ gibt es nicht mehr."
    static QString missingFileText(const QString &path);

    // The value a path is stored as, and back.
    static QString encode(const QString &path);
    static QString decode(const QString &value);

private:
    // Reads the list, lets change edit it and writes it back, under the store's lock.
    template <class Change>
    void update(Change &&change);
    QStringList readList();

    SettingsStore m_store;
};
