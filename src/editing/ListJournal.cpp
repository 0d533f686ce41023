#include "editing/ListJournal.h"

#include "document/EntryList.h"
#include "editing/UndoRecorder.h"

#include <utility>

namespace editing {

void ListJournal::inserted(int row)
{
    m_recorder.record({&m_list, ListOp::Inserted{row}});
}

void ListJournal::appended(int first, int count)
{
    m_recorder.record({&m_list, ListOp::Appended{first, count}});
}

void ListJournal::removed(int row, ListEntry entry)
{
    m_recorder.record({&m_list, ListOp::Removed{row, std::move(entry)}});
}

void ListJournal::truncated(int first, std::vector<ListEntry> entries)
{
    if (!entries.empty())
        m_recorder.record({&m_list, ListOp::Truncated{first, std::move(entries)}});
}

void ListJournal::captionChanged(int row, std::string old)
{
    if (m_list.caption(row) != old)
        m_recorder.record({&m_list, ListOp::CaptionChanged{row, std::move(old)}});
}

void ListJournal::entryReplaced(int row, ListEntry old)
{
    if (m_list.at(row) != old)
        m_recorder.record({&m_list, ListOp::EntryReplaced{row, std::move(old)}});
}

void ListJournal::moved(int from, int before)
{
    m_recorder.record({&m_list, ListOp::Moved{from, before}});
}

void ListJournal::reordered(std::vector<int> order)
{
    m_recorder.record({&m_list, ListOp::Reordered{std::move(order)}});
}

} // namespace editing
