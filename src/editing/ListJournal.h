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

    void prepare(int changes) override;
    void inserted(int row) noexcept override;
    void appended(int first, int count) noexcept override;
    void removed(int row, ListEntry entry) noexcept override;
    void truncated(int first, std::vector<ListEntry> entries) noexcept override;
    void captionChanged(int row, std::string old) noexcept override;
    void entryReplaced(int row, ListEntry old) noexcept override;
    void moved(int from, int before) noexcept override;
    void reordered(std::vector<int> order) noexcept override;

private:
    EntryList &m_list;
    UndoRecorder &m_recorder;
};

} // namespace editing
