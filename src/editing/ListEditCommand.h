#pragma once

#include "editing/ListOp.h"

#include <QUndoCommand>

#include <vector>

namespace editing {

class UndoRecorder;

// One step of the undo history: the list changes one user action made, in order.
//
// It holds the changes that would revert the lists to the other side of the step; undo and redo
// alike replay them and keep what the replay recorded for the way back.
class ListEditCommand : public QUndoCommand {
public:
    // The changes have been made already: the first redo, which QUndoStack::push asks for, is none.
    ListEditCommand(UndoRecorder &recorder, const QString &name, std::vector<ListOp> ops = {});

    // The changes of a command made before them (so that closing a step needs no memory).
    void setOps(std::vector<ListOp> &&ops) noexcept { m_ops = std::move(ops); }
    std::vector<ListOp> takeOps() noexcept { return std::move(m_ops); }

    void undo() override;
    void redo() override;

private:
    void flip();

    UndoRecorder &m_recorder;
    std::vector<ListOp> m_ops;
    bool m_pushed = false;
};

} // namespace editing
