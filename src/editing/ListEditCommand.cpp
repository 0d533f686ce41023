#include "editing/ListEditCommand.h"

#include "editing/UndoRecorder.h"

#include <utility>

namespace editing {

ListEditCommand::ListEditCommand(UndoRecorder &recorder, const QString &name, std::vector<ListOp> ops)
    : QUndoCommand(name), m_recorder(recorder), m_ops(std::move(ops))
{
}

void ListEditCommand::undo()
{
    flip();
}

void ListEditCommand::redo()
{
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    flip();
}

void ListEditCommand::flip()
{
    m_ops = m_recorder.replay(m_ops);
}

} // namespace editing
