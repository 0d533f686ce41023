#pragma once

#include <QObject>

class QAction;
class TMainForm;
class WindowPrompts;

// Two commands of the Datei menu for going on to the next building, placed below "&Neu...":
// "Neue &Liste mit Katalog" (New that keeps the assemblies, the catalogue and the inspector) and
// "&Katalog übernehmen..." (appends what another list file's catalogue has and this one lacks).
class FileMenuExtras : public QObject {
public:
    FileMenuExtras(TMainForm &form, WindowPrompts &prompts);

    QAction *newWithCatalogAction() const { return m_newWithCatalog; }
    QAction *takeOverAction() const { return m_takeOver; }

    // The save question (caption "Datei: Neu..."), then a new unnamed document with the catalogue;
    // the history starts afresh.
    void newListWithCatalog();
    // The open dialog, the take-over as one step of the history, then the box with its outcome. A file
    // that cannot be read changes nothing and shows why.
    void takeOverCatalog();

private:
    TMainForm &m_form;
    WindowPrompts &m_prompts;
    QAction *m_newWithCatalog;
    QAction *m_takeOver;
};
