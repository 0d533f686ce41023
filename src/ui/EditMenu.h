#pragma once

#include <QMenu>

class QAction;
class QMenuBar;

namespace editing {
class UndoRecorder;
}

// The menu "Bearbeiten": undo and redo of the list changes, each naming the step it would undo or
// redo ("Rückgängig: Eintrag löschen"), greyed while there is none.
class EditMenu : public QMenu {
    Q_OBJECT

public:
    // Builds the menu over recorder's history and puts it into bar before the menu before (at the end
    // when before is null).
    EditMenu(editing::UndoRecorder &recorder, QMenuBar *bar, QMenu *before);

    QAction *Rckgngig1() const { return m_undo; }
    QAction *Wiederholen1() const { return m_redo; }

private:
    void update();

    editing::UndoRecorder &m_recorder;
    QAction *m_undo;
    QAction *m_redo;
};
