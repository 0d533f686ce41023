#include "editing/ListJournal.h"

#include "document/EntryList.h"
#include "editing/UndoRecorder.h"

#include <utility>

namespace editing {

void ListJournal::prepare(int changes)
{
    m_recorder.prepare(changes);
}

void ListJournal::inserted(int row) noexcept
{
    m_recorder.record({&m_list, ListOp::Inserted{row}});
}

void ListJournal::appended(int first, int count) noexcept
{
    m_recorder.record({&m_list, ListOp::Appended{first, count}});
}

void ListJournal::removed(int row, ListEntry entry) noexcept
{
    m_recorder.record({&m_list, ListOp::Removed{row, std::move(entry)}});
}

void ListJournal::truncated(int first, std::vector<ListEntry> entries) noexcept
{
    m_recorder.record({&m_list, ListOp::Truncated{first, std::move(entries)}});
}

void ListJournal::captionChanged(int row, std::string old) noexcept
{
    m_recorder.record({&m_list, ListOp::CaptionChanged{row, std::move(old)}});
}

void ListJournal::entryReplaced(int row, ListEntry old) noexcept
{
    m_recorder.record({&m_list, ListOp::EntryReplaced{row, std::move(old)}});
}

void ListJournal::moved(int from, int before) noexcept
{
    m_recorder.record({&m_list, ListOp::Moved{from, before}});
}

void ListJournal::reordered(std::vector<int> order) noexcept
{
    m_recorder.record({&m_list, ListOp::Reordered{std::move(order)}});
}

} // namespace editing
