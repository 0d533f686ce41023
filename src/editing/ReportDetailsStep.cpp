#include "editing/ReportDetailsStep.h"

#include "document/ListDocument.h"
#include "editing/StepNames.h"
#include "editing/UndoRecorder.h"

#include <QUndoCommand>

#include <memory>
#include <utility>

namespace editing {
namespace {

// The details before and after a change; each way sets one of them.
class ReportDetailsCommand : public QUndoCommand {
public:
    ReportDetailsCommand(ListDocument &document, ReportDetails before, ReportDetails after)
        : QUndoCommand(stepname::reportDetails()), m_document(document), m_before(std::move(before)),
          m_after(std::move(after))
    {
    }
    void undo() override { m_document.setReportDetails(m_before); }
    void redo() override { m_document.setReportDetails(m_after); }

private:
    ListDocument &m_document;
    const ReportDetails m_before;
    const ReportDetails m_after;
};

} // namespace

bool changeReportDetails(UndoRecorder &recorder, ListDocument &document, const ReportDetails &details)
{
    if (details == document.reportDetails())
        return false;
    auto command = std::make_unique<ReportDetailsCommand>(document, document.reportDetails(), details);
    QUndoStack &stack = recorder.stack();
    try {
        stack.push(command.get()); // makes the change: the first redo
        command.release();
    } catch (...) {
        if (stack.count() > 0 && stack.command(stack.count() - 1) == command.get()) {
            command.release(); // kept: only what follows the push (the menu's texts) failed
            return true;
        }
        command->undo();
        throw;
    }
    return true;
}

} // namespace editing
