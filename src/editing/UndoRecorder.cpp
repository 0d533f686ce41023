#include "editing/UndoRecorder.h"

#include "document/EntryList.h"
#include "editing/ListEditCommand.h"
#include "editing/ListJournal.h"

#include <algorithm>
#include <utility>

namespace editing {

namespace {

void makeRoom(std::vector<ListOp> &ops, int changes)
{
    const auto n = static_cast<std::size_t>(std::max(changes, 0));
    if (ops.capacity() - ops.size() < n)
        ops.reserve(std::max(ops.size() + n, 2 * ops.capacity()));
}

// Appends op where prepare made room for it; false when there was none and no memory for it either.
bool keep(std::vector<ListOp> &ops, ListOp &&op) noexcept
{
    try {
        ops.push_back(std::move(op));
        return true;
    } catch (...) {
        return false;
    }
}

// Whether the stack holds command (a push that failed after taking it over).
bool holds(const QUndoStack &stack, const QUndoCommand *command) noexcept
{
    for (int i = stack.count() - 1; i >= 0; --i) {
        if (stack.command(i) == command)
            return true;
    }
    return false;
}

} // namespace

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
    if (m_depth == 0)
        m_stepCommand = std::make_unique<ListEditCommand>(*this, name);
    ++m_depth;
}

void UndoRecorder::endStep(bool unwinding) noexcept
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    std::unique_ptr<ListEditCommand> command = std::move(m_stepCommand);
    std::vector<ListOp> ops = std::exchange(m_pending, {});
    if (ops.empty())
        return;
    if (!unwinding && command) {
        command->setOps(std::move(ops));
        try {
            m_stack.push(command.get());
            command.release();
            return;
        } catch (...) {
            if (holds(m_stack, command.get())) {
                command.release(); // kept: only what follows the push (the menu's texts) failed
                return;
            }
            ops = command->takeOps();
        }
        takeBack(ops, nullptr);
        reportLost();
        return;
    }
    // The step ends by an exception, which its handler reports: what it changed goes back.
    takeBack(ops, nullptr);
}

void UndoRecorder::prepare(int changes)
{
    if (m_unrecordedDepth > 0)
        return;
    if (m_replaying || m_takingBack) {
        if (m_replayInto)
            makeRoom(*m_replayInto, changes);
    } else if (m_depth > 0) {
        makeRoom(m_pending, changes);
    } else if (!m_spare) {
        // A change outside any step is a step of its own.
        auto spare = std::make_unique<ListEditCommand>(*this, QString());
        std::vector<ListOp> ops;
        ops.reserve(1);
        spare->setOps(std::move(ops));
        m_spare = std::move(spare);
    }
}

void UndoRecorder::record(ListOp op) noexcept
{
    ++m_records;
    if (m_unrecordedDepth > 0) {
        m_unrecordedChange = true;
    } else if (m_replaying || m_takingBack) {
        if (m_replayInto && !keep(*m_replayInto, std::move(op)))
            m_replayInto = nullptr; // the caller sees the ops missing and gives up
    } else if (m_depth > 0) {
        if (!keep(m_pending, std::move(op))) {
            // Nothing prepared room for it (a list changed outside its methods' rules): the step can
            // no longer be taken back completely, so the history starts afresh.
            clearHistory();
            reportLost();
        }
    } else {
        pushLoose(std::move(op));
    }
}

void UndoRecorder::pushLoose(ListOp op) noexcept
{
    std::unique_ptr<ListEditCommand> command = std::move(m_spare);
    try {
        if (!command)
            command = std::make_unique<ListEditCommand>(*this, QString());
        std::vector<ListOp> ops = command->takeOps();
        ops.clear();
        command->setText(op.stepName());
        ops.push_back(std::move(op));
        command->setOps(std::move(ops));
        m_stack.push(command.get());
        command.release();
    } catch (...) {
        if (command && holds(m_stack, command.get())) {
            command.release();
            return;
        }
        // The change stands, but it could not be kept as a step: a history without it would undo the
        // wrong things, so it starts afresh.
        clearHistory();
        reportLost();
    }
}

bool UndoRecorder::takeBack(std::vector<ListOp> &ops, std::vector<ListOp> *into) noexcept
{
    m_takingBack = true;
    m_replayInto = into;
    bool done = true;
    while (done && !ops.empty()) {
        const long records = m_records;
        try {
            ops.back().revert();
        } catch (...) {
            // A revert that was recorded took place; what failed was a slot of the model's signals.
            done = m_records != records;
        }
        if (done)
            ops.pop_back();
    }
    if (into && !m_replayInto)
        done = false;
    m_takingBack = false;
    m_replayInto = nullptr;
    if (!done)
        clearHistory(); // the lists could not be put back: no history matches them any more
    return done;
}

std::vector<ListOp> UndoRecorder::replay(std::vector<ListOp> &ops)
{
    // Everything the replay needs besides the lists' own changes is taken before the first of them.
    std::vector<ListOp> done;
    done.reserve(ops.size());
    QList<EntryList *> lists;
    lists.reserve(static_cast<qsizetype>(m_journals.size()));

    m_replaying = true;
    m_replayInto = &done;
    long records = m_records;
    try {
        while (!ops.empty()) {
            ListOp &op = ops.back();
            if (!lists.contains(op.list))
                lists.append(op.list);
            records = m_records;
            op.revert();
            ops.pop_back();
            if (!m_replayInto)
                throw std::bad_alloc();
        }
    } catch (...) {
        if (m_records != records && !ops.empty())
            ops.pop_back(); // it took place (and is in done); a slot of the model's signals failed
        m_replaying = false;
        m_replayInto = nullptr;
        // Put back what was replayed: reverting its record records the replayed changes again, in
        // their order, behind the ones not yet replayed.
        std::vector<ListOp> again;
        try {
            again.reserve(done.size());
        } catch (...) {
            clearHistory();
            throw;
        }
        if (takeBack(done, &again)) {
            for (ListOp &op : again)
                ops.push_back(std::move(op)); // into the room the replayed ops left
        }
        throw;
    }
    m_replaying = false;
    m_replayInto = nullptr;
    try {
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            if (const int row = it->rowLeft(); row >= 0) {
                emit rowReplayed(it->list, row);
                break;
            }
        }
        emit replayed(lists);
    } catch (...) {
        // The window's slots run inside the handler guard and throw nothing; this keeps an unguarded
        // one from leaving QUndoStack with its index on a step that was replayed.
    }
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

void UndoRecorder::endUnrecorded() noexcept
{
    if (m_unrecordedDepth == 0 || --m_unrecordedDepth > 0)
        return;
    if (std::exchange(m_unrecordedChange, false))
        clearHistory();
}

void UndoRecorder::clearHistory() noexcept
{
    m_pending.clear();
    try {
        m_stack.clear();
    } catch (...) {
        // Only what follows the clearing (the menu's texts) failed; the stack is empty.
    }
}

void UndoRecorder::reportLost() noexcept
{
    try {
        emit stepLost();
    } catch (...) {
        // The window's slot is queued: only posting it can fail, for want of memory. This runs where
        // nothing may throw, and the history was already cleared, so the loss stands unreported.
    }
}

} // namespace editing
