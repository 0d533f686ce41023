#pragma once

#include "document/EntryJournal.h"
#include "document/ListEntry.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

// One ordered list of entries, shown by a list view as a table of caption and sub-item 0.
//
// Every change goes through the methods below, which emit the model's signals, so that the views
// stay virtual. A list also carries an update bracket: closing the outermost bracket re-orders the
// entries once with the list's sort rule (when it has one) and emits one layout change.
class EntryList : public QAbstractTableModel {
    Q_OBJECT

public:
    // A sort rule returns the new order as indexes into the current entries: position k of the
    // sorted list takes the entry that stood at order[k].
    using SortRule = std::function<std::vector<int>(const std::vector<ListEntry> &)>;
    // The pairwise form of the same order: negative, 0 or positive, as for a stable sort.
    using Compare = std::function<int(const ListEntry &, const ListEntry &)>;
    // A number that changes whenever the order the rule gives changes (its column or direction).
    using OrderToken = std::function<int()>;

    explicit EntryList(QStringList columnTitles, QObject *parent = nullptr);

    int count() const { return static_cast<int>(m_entries.size()); }
    // Every method that takes a row expects one of the list's rows. Another row is a programming
    // error: debug builds stop at it; otherwise readers get an empty entry and changes are dropped.
    const ListEntry &at(int index) const { return isRow(index) ? m_entries[static_cast<size_t>(index)] : noEntry(); }
    const std::vector<ListEntry> &entries() const { return m_entries; }

    // A change that runs out of memory throws std::bad_alloc and leaves the list as it was.
    void append(ListEntry entry);
    void appendEntries(std::vector<ListEntry> &&entries);
    void appendEntries(const std::vector<ListEntry> &entries);
    // A failed insert keeps entry (the undo history's entries are put back this way).
    void insert(int index, ListEntry &&entry);
    void insert(int index, const ListEntry &entry);
    void removeAt(int index);
    void clear();
    // Removes the entries from index count on.
    void truncate(int count);
    // Replaces all entries at once (used to copy a whole list).
    void assign(std::vector<ListEntry> entries);

    std::string_view caption(int index) const { return at(index).caption(); }
    void setCaption(int index, std::string &&caption);
    void setCaption(int index, const std::string &caption);
    // Sub-item i of an entry, or nothing when the entry has fewer than i + 1 sub-items.
    std::optional<std::string_view> subItem(int index, int i) const;
    void appendSubItem(int index, std::string text);
    // Copies caption and all sub-items of source onto the entry at index.
    void assignEntry(int index, const ListEntry &source);
    // Moves the entry at from so that it stands before the entry that is at `before` now
    // (before == count() appends it at the end).
    void move(int from, int before);
    // Puts the entries in a new order: position k takes the entry that stands at order[k] now.
    void reorder(std::vector<int> order);
    // Where move(from, before) puts the entry, and the `before` that puts the entry at from on row to.
    static int landingRow(int from, int before) { return before > from ? before - 1 : before; }
    static int beforeRow(int from, int to) { return to > from ? to + 1 : to; }

    // The journal hears of every change from now on (nullptr: none). The list does not own it.
    void setJournal(EntryJournal *journal) { m_journal = journal; }
    EntryJournal *journal() const { return m_journal; }

    // With compare and token, a list that was sorted and has got one entry inserted since (a drop)
    // places that entry by binary search instead of sorting everything again; the result is the
    // same as the full stable sort.
    void setSortRule(SortRule rule, Compare compare = {}, OrderToken token = {});
    bool hasSortRule() const { return static_cast<bool>(m_sortRule); }
    void beginUpdate() { ++m_updateDepth; }
    // Closing the outermost bracket sorts the list once with its sort rule.
    void endUpdate();
    bool isUpdating() const { return m_updateDepth > 0; }
    // Whether every entry stands where the last sort put it or would put it: true from a sort on,
    // false once a change may have put an entry out of that order. Removals keep the order; an entry
    // inserted or changed by itself keeps it when it stands in order with its neighbours (this needs
    // the pairwise compare and the token, and an unchanged token); anything else leaves it.
    //   sorted "a" "c", insert "b" at 1 => true;   insert "d" at 0 => false
    bool inSortOrder() const { return m_inSortOrder; }
    // Whether the entries are exactly those the sort rule was last given, in the order it gave: no
    // change since, but that order. A rule may read this while it runs to reuse what it worked out
    // about the entries the last time (see SortRules.h).
    bool unchangedSinceSort() const { return m_ruleOrderStands; }
    // Runs the sort rule and drops its order, so that what the rule keeps between sorts is worked
    // out ahead of the next sort. The entries stay as they are.
    void prepareSort() const
    {
        if (m_sortRule && m_entries.size() >= 2)
            m_sortRule(m_entries);
    }

    // QAbstractItemModel
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // After every sort, and when the entries leave the order of the last sort (inSortOrder()).
    void sortOrderChanged();

private:
    bool isRow(int index) const
    {
        const bool row = index >= 0 && index < count();
        Q_ASSERT_X(row, "EntryList", "row outside the list");
        return row;
    }
    static const ListEntry &noEntry();
    void emitRowChanged(int row);
    void prepare(int changes);
    void replaceEntry(int index, ListEntry &&entry);
    void applyOrder(std::vector<int> order);
    // Records a change that may put the entries out of order.
    void disorder()
    {
        m_sorted = false;
        m_ruleOrderStands = false;
    }
    void noteInserted(int row);
    void leaveSortOrder();
    // After a change of the entry at row alone.
    void checkSortOrderAt(int row);
    bool canPlaceStray() const;
    void placeStray();

    QStringList m_columnTitles;
    std::vector<ListEntry> m_entries;
    SortRule m_sortRule;
    Compare m_compare;
    OrderToken m_orderToken;
    int m_updateDepth = 0;
    // The entries stand in the rule's order of m_sortedToken, except perhaps the one at m_strayRow.
    bool m_sorted = false;
    int m_strayRow = -1;
    int m_sortedToken = 0;
    bool m_ruleOrderStands = false;
    bool m_inSortOrder = false;
    EntryJournal *m_journal = nullptr;
};
