#include "ui/ListController.h"

#include "document/EntryList.h"
#include "document/Prompts.h"
#include "editing/FilteredView.h"
#include "editing/SortRules.h"
#include "editing/SortState.h"
#include "editing/StepNames.h"
#include "editing/UndoRecorder.h"
#include "editing/UndoStep.h"
#include "ui/HandlerGuard.h"
#include "ui/ListView.h"
#include "ui/RowsWatch.h"

#include <QPersistentModelIndex>

using editing::UndoStep;
using statusline::CountPhrase;
namespace stepname = editing::stepname;

namespace {

void noEntrySelected(Prompts &prompts)
{
    prompts.error(QStringLiteral("Kein Eintrag ausgewählt"), QStringLiteral("Sie haben keinen Eintrag ausgewählt."));
}

} // namespace

ListController::ListController(ListView &view, EntryList &list, SortState &sort, Sorting sorting,
                               editing::UndoRecorder &undo, Prompts &prompts, Changed changed)
    : m_view(view),
      m_list(list),
      m_sort(sort),
      m_sorting(sorting),
      m_undo(undo),
      m_prompts(prompts),
      m_changed(std::move(changed))
{
    giveSortRule(view, list);
    view.setModel(&list);
    connectView(view);
    // The entry an undo or redo brought back, renamed or moved is the selected and current one.
    connect(&undo, &editing::UndoRecorder::rowReplayed, this, [this](const EntryList *changed, int row) {
        if (changed == &m_list)
            runHandler(&m_prompts, [&] { m_view.selectRow(row); });
    });
}

void ListController::connectView(ListView &view)
{
    // Each event is a handler of its own: what it raises ends in the general error display.
    const bool filtered = &view == m_filteredView;
    connect(&view, &ListView::columnClick, this, guarded(&m_prompts, this, &ListController::columnClick));
    connect(&view, &ListView::keyDown, this,
            guarded(&m_prompts, this, filtered ? &ListController::filteredKeyDown : &ListController::keyDown));
    // In the filtered view the press of the double-click has picked the row it copies.
    connect(&view, &ListView::dblClick, this,
            guarded(&m_prompts, this, filtered ? &ListController::filteredDblClick : &ListController::dblClick));
    connect(&view, &ListView::dropped, this, [this, target = &view](QPoint pos, QObject *source) {
        runHandler(&m_prompts, [&] { drop(target, pos, source); });
    });
    view.setDropAcceptor([this, target = &view](QObject *) { return acceptsDrop(target); });
    view.setTooLongNotice(
        [this](qsizetype length) { m_prompts.error(ListView::tooLongCaption(), ListView::tooLongText(length)); });
}

void ListController::giveSortRule(ListView &view, EntryList &list)
{
    // The pairwise compare and the state's token let a drop into a sorted list place the moved entry
    // without sorting everything again, and tell whether an entry added since stands in order.
    list.setSortRule(
        m_sorting.rule(m_sort, &list),
        [&sort = m_sort, compare = m_sorting.compare](const ListEntry &a, const ListEntry &b) {
            return compare(a, b, sort);
        },
        [&sort = m_sort] { return sort.SortColumn * 2 + (sort.Descending ? 1 : 0); });
    // The header shows the order the rows stand in: the state of the list's last sort, as long as
    // the rows keep to it. The filtered view thus shows the order of its last rebuild.
    connect(&list, &EntryList::sortOrderChanged, this, [this, &view, &list] {
        view.showSortIndicator(list.inSortOrder() ? &m_sort : nullptr);
    });
}

void ListController::changed() const
{
    if (m_changed)
        m_changed(CountPhrase::Closed);
}

void ListController::setFilteredView(ListView &view, EntryList &copies, std::function<void()> copy)
{
    m_filteredView = &view;
    m_copies = &copies;
    m_copy = std::move(copy);
    giveSortRule(view, copies);
    view.setModel(&copies);
    connectView(view);
}

void ListController::setChangeApprover(const std::function<bool()> &approve)
{
    m_view.setChangeApprover(approve);
    if (m_filteredView)
        m_filteredView->setChangeApprover(approve);
}

void ListController::columnClick(int column)
{
    // Also for a click on the filtered view: this list is re-sorted, the filtered view keeps its
    // order (and its header) until its next rebuild. A sort changes no content, so nothing that
    // depends on it follows.
    UndoStep step(m_undo, stepname::sort());
    editing::applyHeaderClick(m_sort, column);
    m_list.beginUpdate();
    m_list.endUpdate();
}

void ListController::keyDown(int key)
{
    // While the view edits a caption in place, Delete and Return belong to the editor.
    if (m_view.isEditing())
        return;
    if (key == Qt::Key_Delete)
        remove();
    else if (key == Qt::Key_Insert && m_insert)
        m_insert();
    else if (key == Qt::Key_Return && m_view.selectedRow() >= 0)
        m_view.openEditor(m_view.selectedRow());
}

void ListController::dblClick()
{
    if (m_activate) {
        m_activate();
        return;
    }
    const int row = m_view.selectedRow();
    if (row >= 0)
        m_view.openEditor(row);
}

void ListController::remove()
{
    UndoStep step(m_undo, stepname::remove());
    const int row = m_view.selectedRow();
    if (row < 0)
        noEntrySelected(m_prompts);
    else
        confirmRemove(row);
    changed();
}

void ListController::confirmRemove(int row)
{
    // The entry is held, not its row: the watch may reload the lists while the question is open,
    // and then the entry the user chose is gone and nothing is removed.
    const QPersistentModelIndex entry(m_list.index(row, 0));
    const Prompts::Answer answer =
        m_prompts.message({QStringLiteral("Eintrag löschen"), QStringLiteral("Wollen Sie den Eintrag löschen?"),
                           Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::Yes && entry.isValid())
        m_list.removeAt(entry.row());
}

void ListController::clear()
{
    UndoStep step(m_undo, stepname::clear());
    confirmClear();
    changed();
}

void ListController::confirmClear()
{
    // The question is about the list as it is now. If a reload replaces it while the question is
    // open, clearing what was loaded is not what the user confirmed: the new content stays.
    const RowsWatch watch(m_list);
    const Prompts::Answer answer =
        m_prompts.message({QStringLiteral("Liste löschen"), QStringLiteral("Wollen Sie die komplette Liste löschen?"),
                           Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::Yes && !watch.rowsReplaced())
        m_list.clear();
}

bool ListController::acceptsDrop(const QObject *target) const
{
    return target != m_filteredView;
}

void ListController::drop(ListView *target, QPoint pos, QObject *source)
{
    UndoStep step(m_undo, stepname::move());
    if (target != &m_view || source != target)
        return;
    m_list.beginUpdate();
    const int at = target->rowAt(pos);
    int selected = target->selectedRow();
    if (selected >= 0) {
        ListEntry copy = m_list.at(selected);
        if (at >= 0) {
            m_list.insert(at, std::move(copy));
            if (selected >= at)
                ++selected;
        } else {
            m_list.append(std::move(copy));
        }
        m_list.removeAt(selected);
    }
    m_list.endUpdate();
    changed();
}

void ListController::filteredKeyDown(int key)
{
    ListView &view = *m_filteredView;
    if (view.isEditing())
        return;
    if (key == Qt::Key_Insert && m_insert) {
        m_insert();
        return;
    }
    if (key != Qt::Key_Delete && key != Qt::Key_Return)
        return;
    const int row = view.selectedRow();
    if (row < 0) {
        if (key == Qt::Key_Delete)
            noEntrySelected(m_prompts);
        return;
    }
    // The picked row is a copy; the entry it was copied from is the one acted on.
    const int source = editing::catalogRowOf(m_list.entries(), m_copies->at(row));
    if (key == Qt::Key_Return) {
        if (source >= 0)
            m_view.openEditor(source);
        return;
    }
    // A copy whose entry has left the list since the last rebuild has nothing to remove; the rebuild
    // shows that.
    UndoStep step(m_undo, stepname::remove());
    if (source >= 0)
        confirmRemove(source);
    changed();
}

void ListController::filteredDblClick()
{
    m_copy();
}
