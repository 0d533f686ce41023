#pragma once

#include "document/EntryJournal.h"

class EntryList;

namespace editing {

class UndoRecorder;

// The journal of one watched list: hands each change of the list to the recorder as a ListOp.
class ListJournal : public EntryJournal {
public:
    ListJournal(EntryList &list, UndoRecorder &recorder) : m_list(list), m_recorder(recorder) {}

    EntryList &list() const { return m_list; }

    void inserted(int row) override;
    void appended(int first, int count) override;
    void removed(int row, ListEntry entry) override;
    void truncated(int first, std::vector<ListEntry> entries) override;
    // A caption set to the text it had (an in-place edit ended without a change) is no change.
    void captionChanged(int row, std::string old) override;
    void entryReplaced(int row, ListEntry old) override;
    void moved(int from, int before) override;
    void reordered(std::vector<int> order) override;

private:
    EntryList &m_list;
    UndoRecorder &m_recorder;
};

} // namespace editing
