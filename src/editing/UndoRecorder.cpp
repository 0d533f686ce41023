#include "editing/UndoRecorder.h"

#include "document/EntryList.h"
#include "editing/ListEditCommand.h"
#include "editing/ListJournal.h"

#include <utility>

namespace editing {

UndoRecorder::UndoRecorder(QObject *parent) : QObject(parent)
{
}

UndoRecorder::~UndoRecorder()
{
    m_stack.clear();
    for (const auto &journal : m_journals) {
        if (journal->list().journal() == journal.get())
            journal->list().setJournal(nullptr);
    }
}

void UndoRecorder::watch(EntryList &list)
{
    m_journals.push_back(std::make_unique<ListJournal>(list, *this));
    list.setJournal(m_journals.back().get());
}

void UndoRecorder::beginStep(const QString &name)
{
    if (m_depth++ == 0)
        m_stepName = name;
}

void UndoRecorder::endStep()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_appendedList = nullptr;
    if (!m_pending.empty())
        push(m_stepName, std::exchange(m_pending, {}));
}

void UndoRecorder::record(ListOp op)
{
    if (m_unrecordedDepth > 0) {
        m_unrecordedChange = true;
    } else if (m_replaying) {
        m_replayed.push_back(std::move(op));
    } else if (m_depth > 0) {
        recordInStep(std::move(op));
    } else {
        const QString name = op.stepName();
        std::vector<ListOp> ops;
        ops.push_back(std::move(op));
        push(name, std::move(ops));
    }
}

void UndoRecorder::recordInStep(ListOp op)
{
    // Undoing an append removes the appended rows whatever became of them, and redoing it puts them
    // back as they were when undone: a later change of an appended row in the same step needs no
    // record (an import that completes the sub-items of a million new rows keeps no copy of them).
    const bool rowChange = std::holds_alternative<ListOp::EntryReplaced>(op.change) ||
                           std::holds_alternative<ListOp::CaptionChanged>(op.change);
    if (rowChange && op.list == m_appendedList) {
        const int row = std::holds_alternative<ListOp::EntryReplaced>(op.change)
                            ? std::get<ListOp::EntryReplaced>(op.change).row
                            : std::get<ListOp::CaptionChanged>(op.change).row;
        if (row >= m_appendedFirst)
            return;
    }
    if (const auto *appended = std::get_if<ListOp::Appended>(&op.change)) {
        m_appendedList = op.list;
        m_appendedFirst = appended->first;
    } else if (!rowChange) {
        m_appendedList = nullptr;
    }
    m_pending.push_back(std::move(op));
}

void UndoRecorder::push(const QString &name, std::vector<ListOp> ops)
{
    m_stack.push(new ListEditCommand(*this, name, std::move(ops)));
}

std::vector<ListOp> UndoRecorder::replay(std::vector<ListOp> ops)
{
    m_replaying = true;
    m_replayed.clear();
    m_replayed.reserve(ops.size());
    for (auto it = ops.rbegin(); it != ops.rend(); ++it)
        it->revert();
    m_replaying = false;
    ops.clear();

    QList<EntryList *> lists;
    for (const ListOp &op : m_replayed) {
        if (!lists.contains(op.list))
            lists.append(op.list);
    }
    std::vector<ListOp> done = std::exchange(m_replayed, {});
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        if (const int row = it->rowLeft(); row >= 0) {
            emit rowReplayed(it->list, row);
            break;
        }
    }
    emit replayed(lists);
    return done;
}

void UndoRecorder::undo()
{
    if (m_depth == 0 && !m_replaying)
        m_stack.undo();
}

void UndoRecorder::redo()
{
    if (m_depth == 0 && !m_replaying)
        m_stack.redo();
}

void UndoRecorder::endUnrecorded()
{
    if (m_unrecordedDepth == 0 || --m_unrecordedDepth > 0)
        return;
    if (std::exchange(m_unrecordedChange, false))
        clearHistory();
}

void UndoRecorder::clearHistory()
{
    m_pending.clear();
    m_appendedList = nullptr;
    m_stack.clear();
}

} // namespace editing
