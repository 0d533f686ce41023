#pragma once

#include "document/EntryList.h"
#include "editing/ListOp.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <memory>
#include <vector>

namespace editing {

class ListJournal;

// Keeps the undo history of the lists it watches.
//
// Every change of a watched list is recorded. The changes made between beginStep and the matching
// endStep form one step on the undo stack, named as the step was begun (brackets nest; the outermost
// names the step); a change made outside any step is a step of its own, named after its kind (an
// in-place rename is "Umbenennen"). Undo and redo replay the inverse changes through the lists'
// own methods, so the views follow as after any other change; afterwards `replayed` names the lists
// that changed, for the derived state (filtered view, status line) to follow.
class UndoRecorder : public QObject {
    Q_OBJECT

public:
    explicit UndoRecorder(QObject *parent = nullptr);
    ~UndoRecorder() override;

    // Records every change of list from now on. The list must outlive the recorder.
    void watch(EntryList &list);

    QUndoStack &stack() { return m_stack; }
    const QUndoStack &stack() const { return m_stack; }

    void beginStep(const QString &name);
    void endStep();
    bool inStep() const { return m_depth > 0; }

    // Undo and redo the step next in line; nothing while a step is being recorded or replayed.
    void undo();
    void redo();

    // Starts a fresh history: the steps so far and what the open step has gathered are dropped (the
    // lists were replaced as a whole).
    void clearHistory();

    // Between beginUnrecorded and the matching endUnrecorded changes are not recorded (loading a file
    // keeps no copy of the lists it replaces); when any was made, the history starts afresh at the end.
    void beginUnrecorded() { ++m_unrecordedDepth; }
    void endUnrecorded();

    // Used by the lists' journals and the steps.
    void record(ListOp op);
    // Reverts ops, last first, and returns the changes that made: what reverts the revert.
    std::vector<ListOp> replay(std::vector<ListOp> ops);

signals:
    // A step was undone or redone; lists are the lists it changed.
    void replayed(const QList<EntryList *> &lists);
    // Comes just before replayed when the step left an entry in place: the last one it added,
    // renamed or moved (so what follows the selection of that row is followed in turn by replayed).
    void rowReplayed(EntryList *list, int row);

private:
    void recordInStep(ListOp op);
    void push(const QString &name, std::vector<ListOp> ops);

    QUndoStack m_stack;
    std::vector<std::unique_ptr<ListJournal>> m_journals;
    int m_depth = 0;
    QString m_stepName;
    std::vector<ListOp> m_pending;
    // The open step appended rows from m_appendedFirst on to this list, and has since changed no
    // list but by changing rows in place.
    EntryList *m_appendedList = nullptr;
    int m_appendedFirst = 0;
    bool m_replaying = false;
    int m_unrecordedDepth = 0;
    bool m_unrecordedChange = false;
    std::vector<ListOp> m_replayed;
};

} // namespace editing
