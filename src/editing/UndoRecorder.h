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

class ListEditCommand;
class ListJournal;

// Keeps the undo history of the lists it watches.
//
// Every change of a watched list is recorded. The changes made between beginStep and the matching
// endStep form one step on the undo stack, named as the step was begun (brackets nest; the outermost
// names the step); a change made outside any step is a step of its own, named after its kind (an
// in-place rename is "Umbenennen"). Undo and redo replay the inverse changes through the lists'
// own methods, so the views follow as after any other change; afterwards `replayed` names the lists
// that changed, for the derived state (filtered view, status line) to follow.
//
// Out of memory: a step left by an exception, or one whose closing fails, is taken back (its changes
// reverted, nothing pushed); an undo or redo that fails puts back what it had replayed and throws,
// and the history stays as it was. What fails where nothing can throw (closing a step in a
// destructor) is reported by `stepLost`.
class UndoRecorder : public QObject {
    Q_OBJECT

public:
    explicit UndoRecorder(QObject *parent = nullptr);
    ~UndoRecorder() override;

    // Records every change of list from now on. The list must outlive the recorder.
    void watch(EntryList &list);

    QUndoStack &stack() { return m_stack; }
    const QUndoStack &stack() const { return m_stack; }

    // Opening the outermost step takes what closing it needs, and may throw.
    void beginStep(const QString &name);
    // unwinding: the step is left by an exception; what it changed is taken back.
    void endStep(bool unwinding = false) noexcept;
    bool inStep() const { return m_depth > 0; }
    bool replaying() const { return m_replaying; }

    // Undo and redo the step next in line; nothing while a step is being recorded or replayed.
    void undo();
    void redo();

    // Starts a fresh history: the steps so far and what the open step has gathered are dropped (the
    // lists were replaced as a whole).
    void clearHistory() noexcept;

    // Between beginUnrecorded and the matching endUnrecorded changes are not recorded (loading a file
    // keeps no copy of the lists it replaces); when any was made, the history starts afresh at the end.
    void beginUnrecorded() { ++m_unrecordedDepth; }
    void endUnrecorded() noexcept;

    // Used by the lists' journals: prepare takes what recording the next changes needs (it may throw,
    // before the list changes); record then never fails.
    void prepare(int changes);
    void record(ListOp op) noexcept;
    // Reverts ops, last first, and returns the changes that made: what reverts the revert. When a
    // revert fails, the lists are put back, ops are left as they were and the failure is thrown.
    std::vector<ListOp> replay(std::vector<ListOp> &ops);

signals:
    // A step was undone or redone; lists are the lists it changed.
    void replayed(const QList<EntryList *> &lists);
    // Comes just before replayed when the step left an entry in place: the last one it added,
    // renamed or moved (so what follows the selection of that row is followed in turn by replayed).
    void rowReplayed(EntryList *list, int row);
    // A step could not be kept for want of memory, where no exception could say so: its changes were
    // taken back (or, for a change outside any step, the history started afresh).
    void stepLost();

private:
    // Reverts ops, last first, recording nothing; returns what that recorded when into is given.
    bool takeBack(std::vector<ListOp> &ops, std::vector<ListOp> *into) noexcept;
    void pushLoose(ListOp op) noexcept;
    void reportLost() noexcept;

    QUndoStack m_stack;
    std::vector<std::unique_ptr<ListJournal>> m_journals;
    int m_depth = 0;
    std::vector<ListOp> m_pending;
    // The command the open step becomes, made when it opened; a spare for a change outside any step.
    std::unique_ptr<ListEditCommand> m_stepCommand;
    std::unique_ptr<ListEditCommand> m_spare;
    bool m_replaying = false;
    bool m_takingBack = false;
    int m_unrecordedDepth = 0;
    bool m_unrecordedChange = false;
    std::vector<ListOp> *m_replayInto = nullptr;
    long m_records = 0; // changes heard so far, to tell a change that failed from one that took place
};

} // namespace editing
