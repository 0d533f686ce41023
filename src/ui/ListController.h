#pragma once

#include "document/EntryList.h"
#include "document/StatusLine.h"

#include <QObject>
#include <QPoint>

#include <functional>

class ListView;
class Prompts;
struct SortState;

namespace editing {
class UndoRecorder;
}

// What one list of the main window does with its view's events: the header click and its indicator,
// the keys (Return and F2 open the caption editor, Delete removes, Insert adds), the double-click, removing an
// entry and clearing the list with their questions, and moving an entry by drag and drop. The
// controller connects its views itself; what a handler raises ends in the general error display.
// Every command is one step of the undo history; removing, clearing and moving end with `changed`,
// the window's "this list changed" (none for the assemblies, whose dependant, the filtered view,
// follows their view's own change reports).
//
// The window has three: the assemblies, the catalogue and the defect list. The catalogue's controller
// also serves the filtered view (`setFilteredView`), which shows copies of catalogue entries: its
// header sorts the catalogue, it takes no drops, and its keys act on the catalogue entry the picked
// copy was made from.
class ListController : public QObject {
public:
    using Changed = std::function<void(statusline::CountPhrase)>;
    // How the list sorts by its state: the rule made for a list (SortRules.h) and the pairwise compare
    // of the same order (CompareRules.h).
    struct Sorting {
        EntryList::SortRule (*rule)(const SortState &state, const EntryList *list);
        int (*compare)(const ListEntry &item1, const ListEntry &item2, const SortState &state);
    };

    // Gives list its sort rule and connects view.
    ListController(ListView &view, EntryList &list, SortState &sort, Sorting sorting, editing::UndoRecorder &undo,
                   Prompts &prompts, Changed changed);

    // What a double-click does instead of opening the caption editor on the selected row.
    void setActivate(std::function<void()> activate) { m_activate = std::move(activate); }
    // What Insert does in this controller's views: the list's "+" button.
    void setInsert(std::function<void()> insert) { m_insert = std::move(insert); }
    // The filtered view over copies of this list's entries; copy: what its double-click does.
    void setFilteredView(ListView &view, EntryList &copies, std::function<void()> copy);
    // Asked before a caption editor opens in this controller's views; false keeps the entry as it is.
    void setChangeApprover(const std::function<bool()> &approve);

    void columnClick(int column);
    void keyDown(int key);
    void dblClick();
    // Removes the selected entry after its question ("Sie haben keinen Eintrag ausgewählt." without one).
    void remove();
    // Clears the list after its question.
    void clear();
    // Whether a drag may drop on target, one of this controller's views.
    bool acceptsDrop(const QObject *target) const;
    // Moves the selected entry of target to stand before the row at pos (at the end below the last
    // row); a drop from another view, or on the filtered view, changes nothing.
    void drop(ListView *target, QPoint pos, QObject *source);

private:
    void connectView(ListView &view);
    // Gives list (shown by view) this controller's sort rule and keeps view's header in step with it.
    void giveSortRule(ListView &view, EntryList &list);
    void filteredKeyDown(int key);
    void filteredDblClick();
    // Asks whether to remove the entry at row and removes it after Ja, unless it is gone by then.
    void confirmRemove(int row);
    void confirmClear();
    void changed() const;

    ListView &m_view;
    EntryList &m_list;
    SortState &m_sort;
    Sorting m_sorting;
    editing::UndoRecorder &m_undo;
    Prompts &m_prompts;
    Changed m_changed;
    std::function<void()> m_activate;
    std::function<void()> m_insert;
    ListView *m_filteredView = nullptr;
    EntryList *m_copies = nullptr;
    std::function<void()> m_copy;
};
