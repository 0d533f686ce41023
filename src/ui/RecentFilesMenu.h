#pragma once

#include "settings/RecentFiles.h"

#include <QObject>

class QMenu;
class TMainForm;
class WindowPrompts;

// The submenu "&Zuletzt geöffnet" below "&Öffnen...": the list files used last, newest first
// ("&1 Begehung.mal", the full path as status tip and tooltip), then "Liste &leeren". It reads the
// list afresh each time it opens, so that every running program shows the same list. A file enters
// the list when it is opened (open()) or saved under a name the user chose.
class RecentFilesMenu : public QObject {
public:
    RecentFilesMenu(TMainForm &form, WindowPrompts &prompts, SettingsStore store);

    QMenu *menu() const { return m_menu; }
    // Opens the list file and puts it at the top of the list when it was read.
    void open(const QString &path);
    // A chosen entry: a file that is gone gets a warning and leaves the list; otherwise the save
    // question (caption "Datei: Öffnen...") and then the file is opened as Öffnen does.
    void choose(const QString &path);
    // Fills the submenu from the list as the settings file holds it now.
    void rebuild();

private:
    void fill(const QStringList &paths);
    // Runs a change of the list; a settings file that cannot be written is reported.
    template <class Change>
    void change(Change &&apply);

    TMainForm &m_form;
    WindowPrompts &m_prompts;
    RecentFiles m_files;
    QMenu *m_menu;
};
