#pragma once

#include "document/ListEntry.h"

#include <string>
#include <vector>

// Hears of every change to one EntryList, after it has happened, with what the change took away.
//
// Each report holds enough to undo the change: what was removed or overwritten is handed over (moved,
// never copied), what was added is named by its rows only, since it still stands in the list.
class EntryJournal {
public:
    virtual ~EntryJournal() = default;

    // One entry now stands at row.
    virtual void inserted(int row) = 0;
    // count entries now stand at the end, from row first on.
    virtual void appended(int first, int count) = 0;
    // The entry that stood at row is gone.
    virtual void removed(int row, ListEntry entry) = 0;
    // The entries from row first to the end are gone (first == 0: the list was cleared).
    virtual void truncated(int first, std::vector<ListEntry> entries) = 0;
    // The caption of the entry at row was old.
    virtual void captionChanged(int row, std::string old) = 0;
    // The entry at row was old (caption and sub-items).
    virtual void entryReplaced(int row, ListEntry old) = 0;
    // The entry at from was moved to stand before the entry that was at before (see EntryList::move).
    virtual void moved(int from, int before) = 0;
    // The entries were reordered: position k took the entry that stood at order[k].
    virtual void reordered(std::vector<int> order) = 0;
};
