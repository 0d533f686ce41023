#pragma once

#include <QMenu>

class QAction;
class QMenuBar;
class Prompts;

namespace editing {
class UndoRecorder;
}

// The menu "Bearbeiten": undo and redo of the list changes, each naming the step it would undo or
// redo ("Rückgängig: Eintrag löschen"), greyed while there is none.
class EditMenu : public QMenu {
    Q_OBJECT

public:
    // Builds the menu over recorder's history and puts it into bar before the menu before (at the end
    // when before is null). A failed undo or redo ends in the general error display through prompts.
    EditMenu(editing::UndoRecorder &recorder, QMenuBar *bar, QMenu *before, Prompts *prompts = nullptr);

    QAction *Rckgngig1() const { return m_undo; }
    QAction *Wiederholen1() const { return m_redo; }

private:
    void update();

    editing::UndoRecorder &m_recorder;
    Prompts *m_prompts;
    QAction *m_undo;
    QAction *m_redo;
};
