#pragma once

#include "document/ListEntry.h"

#include <string>
#include <vector>

// Hears of every change to one EntryList, with what the change took away.
//
// Each report holds enough to undo the change: what was removed or overwritten is handed over (moved,
// never copied), what was added is named by its rows only, since it still stands in the list. The
// list calls `prepare` before it changes anything (it may throw: then nothing changed), and reports
// the change after its entries changed and before the model's signals that announce it, so a slot
// that changes a list in answer is heard after its cause. A report never throws and never reads the
// list back.
class EntryJournal {
public:
    virtual ~EntryJournal() = default;

    // Takes what reporting `changes` changes will need; the list has not changed yet.
    virtual void prepare(int changes) = 0;

    // One entry now stands at row.
    virtual void inserted(int row) noexcept = 0;
    // count entries now stand at the end, from row first on.
    virtual void appended(int first, int count) noexcept = 0;
    // The entry that stood at row is gone.
    virtual void removed(int row, ListEntry entry) noexcept = 0;
    // The entries from row first to the end are gone (first == 0: the list was cleared).
    virtual void truncated(int first, std::vector<ListEntry> entries) noexcept = 0;
    // The caption of the entry at row was old (and is another text now).
    virtual void captionChanged(int row, std::string old) noexcept = 0;
    // The entry at row was old (caption and sub-items), and is another entry now.
    virtual void entryReplaced(int row, ListEntry old) noexcept = 0;
    // The entry at from was moved to stand before the entry that was at before (see EntryList::move).
    virtual void moved(int from, int before) noexcept = 0;
    // The entries were reordered: position k took the entry that stood at order[k].
    virtual void reordered(std::vector<int> order) noexcept = 0;
};
