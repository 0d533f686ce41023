#include "document/EntryList.h"

#include "document/Cp1252.h"

#include <algorithm>
#include <iterator>
#include <utility>

EntryList::EntryList(QStringList columnTitles, QObject *parent)
    : QAbstractTableModel(parent), m_columnTitles(std::move(columnTitles))
{
}

const ListEntry &EntryList::noEntry()
{
    static const ListEntry empty;
    return empty;
}

void EntryList::setSortRule(SortRule rule, Compare compare, OrderToken token)
{
    m_sortRule = std::move(rule);
    m_compare = std::move(compare);
    m_orderToken = std::move(token);
    disorder();
    leaveSortOrder();
}

void EntryList::noteInserted(int row)
{
    m_ruleOrderStands = false;
    if (m_sorted && m_strayRow < 0) {
        m_strayRow = row;
    } else {
        m_sorted = false;
    }
}

namespace {

// Makes room for n more entries, growing as the vector itself would, so that adding them later
// neither allocates nor fails.
void makeRoom(std::vector<ListEntry> &entries, std::size_t n)
{
    if (entries.capacity() - entries.size() < n)
        entries.reserve(std::max(entries.size() + n, 2 * entries.capacity()));
}

// The span in which a change has announced itself to its views and its journal has not yet heard
// of it. A change of any list that begins inside that span (from a slot of an "about to" signal)
// would reach its journal before its cause, so debug builds stop at it. The signals that follow the
// report may start changes (the filtered view is rebuilt on rowsInserted): they come after their
// cause. A list without a journal (the filtered view) records nothing, so its changes neither open
// such a span nor are checked in one (a selection that shifts as rows are announced rebuilds the
// filtered view). Release builds check nothing.
class Announcing {
public:
#ifdef QT_NO_DEBUG
    explicit Announcing(bool) {}
    void reported() {}
#else
    explicit Announcing(bool journaled) : m_open(journaled)
    {
        if (!journaled)
            return;
        Q_ASSERT_X(s_open == 0, "EntryList", "a list change began while another was announced and not yet reported");
        ++s_open;
    }
    ~Announcing() { reported(); }
    Announcing(const Announcing &) = delete;
    Announcing &operator=(const Announcing &) = delete;
    void reported()
    {
        if (m_open)
            --s_open;
        m_open = false;
    }

private:
    bool m_open;
    static inline thread_local int s_open = 0;
#endif
};

} // namespace

// Every change below first takes what it needs (memory for the entries and for the journal's
// report) and only then announces itself to the views: a change that runs out of memory leaves the
// list, its journal and its views as they were.

void EntryList::prepare(int changes)
{
    if (m_journal)
        m_journal->prepare(changes);
}

void EntryList::append(ListEntry entry)
{
    insert(count(), std::move(entry));
}

void EntryList::appendEntries(std::vector<ListEntry> &&entries)
{
    if (entries.empty())
        return;
    const int first = count();
    if (!m_entries.empty())
        makeRoom(m_entries, entries.size());
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginInsertRows({}, first, first + static_cast<int>(entries.size()) - 1);
    disorder();
    if (m_entries.empty())
        m_entries = std::move(entries);
    else
        std::move(entries.begin(), entries.end(), std::back_inserter(m_entries));
    if (m_journal)
        m_journal->appended(first, count() - first);
    announcing.reported();
    endInsertRows();
    leaveSortOrder();
}

void EntryList::appendEntries(const std::vector<ListEntry> &entries)
{
    appendEntries(std::vector<ListEntry>(entries));
}

void EntryList::insert(int index, ListEntry &&entry)
{
    Q_ASSERT_X(index >= 0 && index <= count(), "EntryList", "insert outside the list");
    index = std::clamp(index, 0, count());
    makeRoom(m_entries, 1);
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginInsertRows({}, index, index);
    m_entries.insert(m_entries.begin() + index, std::move(entry));
    noteInserted(index);
    if (m_journal)
        m_journal->inserted(index);
    announcing.reported();
    endInsertRows();
    checkSortOrderAt(index);
}

void EntryList::insert(int index, const ListEntry &entry)
{
    insert(index, ListEntry(entry));
}

void EntryList::removeAt(int index)
{
    if (!isRow(index))
        return;
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginRemoveRows({}, index, index);
    m_ruleOrderStands = false;
    ListEntry removed = std::move(m_entries[static_cast<size_t>(index)]);
    m_entries.erase(m_entries.begin() + index);
    if (index == m_strayRow)
        m_strayRow = -1;
    else if (index < m_strayRow)
        --m_strayRow;
    if (m_journal)
        m_journal->removed(index, std::move(removed));
    announcing.reported();
    endRemoveRows();
}

void EntryList::clear()
{
    if (m_entries.empty())
        return;
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginResetModel();
    m_ruleOrderStands = false;
    std::vector<ListEntry> old;
    old.swap(m_entries);
    if (m_journal)
        m_journal->truncated(0, std::move(old));
    announcing.reported();
    endResetModel();
}

void EntryList::truncate(int count)
{
    count = std::max(count, 0);
    if (count >= this->count())
        return;
    if (count == 0) {
        clear();
        return;
    }
    std::vector<ListEntry> tail;
    tail.reserve(m_entries.size() - static_cast<size_t>(count));
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginRemoveRows({}, count, this->count() - 1);
    m_ruleOrderStands = false;
    std::move(m_entries.begin() + count, m_entries.end(), std::back_inserter(tail));
    m_entries.erase(m_entries.begin() + count, m_entries.end());
    if (m_strayRow >= count)
        m_strayRow = -1;
    if (m_journal)
        m_journal->truncated(count, std::move(tail));
    announcing.reported();
    endRemoveRows();
}

void EntryList::assign(std::vector<ListEntry> entries)
{
    prepare(2);
    Announcing announcing(m_journal != nullptr);
    beginResetModel();
    std::vector<ListEntry> old = std::exchange(m_entries, std::move(entries));
    disorder();
    if (m_journal) {
        if (!old.empty())
            m_journal->truncated(0, std::move(old));
        if (!m_entries.empty())
            m_journal->appended(0, count());
    }
    announcing.reported();
    endResetModel();
    leaveSortOrder();
}

void EntryList::setCaption(int index, std::string &&caption)
{
    setCaption(index, static_cast<const std::string &>(caption));
}

void EntryList::setCaption(int index, const std::string &caption)
{
    if (!isRow(index))
        return;
    ListEntry &slot = m_entries[static_cast<size_t>(index)];
    const bool changed = slot.caption() != caption;
    if (changed) {
        // Everything the change needs is taken first: the entry with its new caption and the old text.
        ListEntry updated = slot;
        updated.setCaption(caption);
        std::string old(slot.caption());
        prepare(1);
        slot = std::move(updated);
        if (m_journal)
            m_journal->captionChanged(index, std::move(old));
    }
    disorder();
    emitRowChanged(index);
    checkSortOrderAt(index);
}

std::optional<std::string_view> EntryList::subItem(int index, int i) const
{
    if (!isRow(index))
        return std::nullopt;
    const ListEntry &e = at(index);
    if (i < 0 || static_cast<size_t>(i) >= e.subItemCount())
        return std::nullopt;
    return e.subItem(static_cast<size_t>(i));
}

void EntryList::appendSubItem(int index, std::string text)
{
    if (!isRow(index))
        return;
    ListEntry changed = m_entries[static_cast<size_t>(index)];
    changed.appendSubItem(text);
    replaceEntry(index, std::move(changed));
}

void EntryList::assignEntry(int index, const ListEntry &source)
{
    if (!isRow(index))
        return;
    replaceEntry(index, ListEntry(source));
}

void EntryList::replaceEntry(int index, ListEntry &&entry)
{
    ListEntry &slot = m_entries[static_cast<size_t>(index)];
    const bool changed = slot != entry;
    if (changed)
        prepare(1);
    ListEntry old = std::exchange(slot, std::move(entry));
    disorder();
    if (changed && m_journal)
        m_journal->entryReplaced(index, std::move(old));
    emitRowChanged(index);
    checkSortOrderAt(index);
}

void EntryList::move(int from, int before)
{
    Q_ASSERT_X(before >= 0 && before <= count(), "EntryList", "move outside the list");
    if (!isRow(from) || before < 0 || before > count() || before == from || before == from + 1)
        return;
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginMoveRows({}, from, from, {}, before);
    ListEntry moved = std::move(m_entries[static_cast<size_t>(from)]);
    m_entries.erase(m_entries.begin() + from);
    m_entries.insert(m_entries.begin() + landingRow(from, before), std::move(moved));
    disorder();
    if (m_journal)
        m_journal->moved(from, before);
    announcing.reported();
    endMoveRows();
    leaveSortOrder();
}

void EntryList::reorder(std::vector<int> order)
{
    if (order.size() != m_entries.size())
        return;
    applyOrder(std::move(order));
    disorder();
    leaveSortOrder();
}

void EntryList::endUpdate()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0 || !m_sortRule)
        return;
    if (m_entries.size() >= 2) {
        if (canPlaceStray()) {
            placeStray();
        } else {
            // The rule reads the flag while it runs; should the order not be applied in full, the
            // rule's notes about the entries no longer hold.
            std::vector<int> order = m_sortRule(m_entries);
            m_ruleOrderStands = false;
            applyOrder(std::move(order));
            m_ruleOrderStands = true;
        }
    }
    m_sorted = true;
    m_strayRow = -1;
    m_sortedToken = m_orderToken ? m_orderToken() : 0;
    m_inSortOrder = true;
    emit sortOrderChanged();
}

void EntryList::leaveSortOrder()
{
    if (!m_inSortOrder)
        return;
    m_inSortOrder = false;
    emit sortOrderChanged();
}

void EntryList::checkSortOrderAt(int row)
{
    if (!m_inSortOrder)
        return;
    // Inside a bracket the closing sort decides; an order the rule no longer gives cannot be checked.
    if (isUpdating() || !m_compare || !m_orderToken || m_orderToken() != m_sortedToken) {
        leaveSortOrder();
        return;
    }
    const bool afterPrevious = row == 0 || m_compare(at(row - 1), at(row)) <= 0;
    const bool beforeNext = row + 1 >= count() || m_compare(at(row), at(row + 1)) <= 0;
    if (!afterPrevious || !beforeNext)
        leaveSortOrder();
}

bool EntryList::canPlaceStray() const
{
    return m_sorted && m_strayRow >= 0 && m_strayRow < count() && m_compare && m_orderToken
           && m_orderToken() == m_sortedToken;
}

void EntryList::placeStray()
{
    // All entries but the stray stand in order. A stable sort puts the stray after the others that
    // are less than it and before the greater ones; among its equals it keeps its present place.
    const int stray = m_strayRow;
    const ListEntry &x = m_entries[static_cast<size_t>(stray)];
    const int n = count() - 1; // the others, indexed without the stray
    auto other = [this, stray](int i) -> const ListEntry & {
        return m_entries[static_cast<size_t>(i < stray ? i : i + 1)];
    };
    int lo = 0, hi = n;
    while (lo < hi) { // first other not less than x
        const int mid = (lo + hi) / 2;
        if (m_compare(other(mid), x) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const int lower = lo;
    hi = n;
    while (lo < hi) { // first other greater than x
        const int mid = (lo + hi) / 2;
        if (m_compare(other(mid), x) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    const int target = std::clamp(stray, lower, lo); // the stray's index among the others
    if (target == stray)
        return;
    const int before = beforeRow(stray, target);
    prepare(1);
    Announcing announcing(m_journal != nullptr);
    beginMoveRows({}, stray, stray, {}, before);
    ListEntry moved = std::move(m_entries[static_cast<size_t>(stray)]);
    m_entries.erase(m_entries.begin() + stray);
    m_entries.insert(m_entries.begin() + target, std::move(moved));
    if (m_journal)
        m_journal->moved(stray, before);
    announcing.reported();
    endMoveRows();
}

void EntryList::applyOrder(std::vector<int> order)
{
    const size_t n = m_entries.size();
    if (order.size() != n)
        return;
    bool identity = true;
    for (size_t k = 0; k < n && identity; ++k)
        identity = order[k] == static_cast<int>(k);
    if (identity) {
        Announcing announcing(m_journal != nullptr);
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        announcing.reported();
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        return;
    }
    std::vector<ListEntry> sorted;
    sorted.reserve(n);
    std::vector<int> newRowOf(n);
    for (size_t k = 0; k < n; ++k)
        newRowOf[static_cast<size_t>(order[k])] = static_cast<int>(k);
    prepare(1);

    Announcing announcing(m_journal != nullptr);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    for (int old : order)
        sorted.push_back(std::move(m_entries[static_cast<size_t>(old)]));
    m_entries.swap(sorted);
    try {
        // Keep selections and the current row on the entries they were on.
        const QModelIndexList persistent = persistentIndexList();
        if (!persistent.isEmpty()) {
            QModelIndexList to;
            to.reserve(persistent.size());
            for (const QModelIndex &idx : persistent)
                to.append(index(newRowOf[static_cast<size_t>(idx.row())], idx.column()));
            changePersistentIndexList(persistent, to);
        }
    } catch (...) {
        for (size_t k = 0; k < n; ++k)
            sorted[static_cast<size_t>(order[k])] = std::move(m_entries[k]);
        m_entries.swap(sorted);
        announcing.reported();
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
        throw;
    }
    if (m_journal)
        m_journal->reordered(std::move(order));
    announcing.reported();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void EntryList::emitRowChanged(int row)
{
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int EntryList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int EntryList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columnTitles.size());
}

QVariant EntryList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    // A cell shows a few hundred characters at most: converting and laying out a text of millions of
    // characters at every paint would stall the window. Editing gets the whole text.
    constexpr std::size_t kShownBytes = 4096;
    const auto text = [role](std::string_view v) {
        if (role == Qt::DisplayRole && v.size() > kShownBytes)
            v = v.substr(0, kShownBytes);
        return cp1252::toUnicode(v);
    };
    const ListEntry &e = at(index.row());
    if (index.column() == 0)
        return text(e.caption());
    const size_t sub = static_cast<size_t>(index.column() - 1);
    return sub < e.subItemCount() ? text(e.subItem(sub)) : QString();
}

bool EntryList::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::EditRole || index.row() >= count())
        return false;
    setCaption(index.row(), cp1252::fromUnicode(value.toString()));
    return true;
}

QVariant EntryList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columnTitles.size())
        return m_columnTitles[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags EntryList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled
                      | Qt::ItemNeverHasChildren;
    if (index.column() == 0)
        f |= Qt::ItemIsEditable;
    return f;
}
