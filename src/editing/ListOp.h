#pragma once

#include "document/ListEntry.h"

#include <QString>

#include <string>
#include <variant>
#include <vector>

class EntryList;

namespace editing {

// One recorded change of one list, holding what it took away (moved out of the list, never copied).
//
// Reverting a change applies its inverse through the list's own methods, so the list's journal
// hears the inverse as a change of its own: the changes a revert records are exactly what reverts
// the revert. Added entries are named by their rows only; they stand in the list until reverted.
struct ListOp {
    struct Inserted {
        int row;
    };
    struct Appended {
        int first;
        int count;
    };
    struct Removed {
        int row;
        ListEntry entry;
    };
    struct Truncated {
        int first;
        std::vector<ListEntry> entries;
    };
    struct CaptionChanged {
        int row;
        std::string old;
    };
    struct EntryReplaced {
        int row;
        ListEntry old;
    };
    struct Moved {
        int from;
        int before;
    };
    struct Reordered {
        std::vector<int> order;
    };
    using Change =
        std::variant<Inserted, Appended, Removed, Truncated, CaptionChanged, EntryReplaced, Moved, Reordered>;

    EntryList *list = nullptr;
    Change change;

    // Applies the inverse change to the list; consumes what the change held.
    void revert();
    // The row of the entry the change put or left in the list (added, renamed, replaced or moved;
    // the first of appended entries), or -1 when it names none (a removal, a new order).
    int rowLeft() const;
    // The name of a step that consists of this change alone ("Eintrag löschen", "Umbenennen", ...).
    QString stepName() const;
};

} // namespace editing
