#pragma once

#include <QMenu>
#include <QPointer>

class QAction;
class QMenuBar;

namespace editing {
class UndoRecorder;
}

// The menu "Bearbeiten": undo and redo of the list changes, each naming the step it would undo or
// redo ("Rückgängig: Eintrag löschen"), greyed while there is none.
//
// Strg+Z, Strg+Y and Strg+Umschalt+Z belong to the text field that has the focus (the in-place
// editor, a field of a dialog, a spin box): there they undo and redo the typing, and the lists'
// history moves only by the menu or while no text field has the focus. Chosen from the menu while
// a list's in-place editor is open, undo and redo first end the edit as Return does.
class EditMenu : public QMenu {
    Q_OBJECT

public:
    // Builds the menu over recorder's history and puts it into bar before the menu before (at the end
    // when before is null).
    EditMenu(editing::UndoRecorder &recorder, QMenuBar *bar, QMenu *before);

    QAction *Rckgngig1() const { return m_undo; }
    QAction *Wiederholen1() const { return m_redo; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void update();
    // Ends an open in-place edit in the window's lists, keeping its text.
    void finishEditing();

    editing::UndoRecorder &m_recorder;
    QPointer<QWidget> m_window;
    QAction *m_undo;
    QAction *m_redo;
};
