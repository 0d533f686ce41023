#include "ui/SearchProxy.h"

#include "document/Cp1252.h"
#include "document/EntryList.h"

#include <new>

SearchProxy::SearchProxy(EntryList &list, QObject *parent) : QAbstractTableModel(parent), m_list(&list)
{
    using Model = QAbstractItemModel;
    // A list that goes before the view leaves the view empty.
    connect(&list, &QObject::destroyed, this, [this] {
        m_list = nullptr; // before anything asks for a row
        m_search = {};
        beginResetModel();
        endResetModel();
    });
    connect(&list, &Model::rowsAboutToBeInserted, this, [this](const QModelIndex &, int first, int last) {
        listAboutToChange(false, [&] { beginInsertRows({}, first, last); });
    });
    connect(&list, &Model::rowsInserted, this, [this] { listChanged([this] { endInsertRows(); }); });
    connect(&list, &Model::rowsAboutToBeRemoved, this, [this](const QModelIndex &, int first, int last) {
        listAboutToChange(false, [&] { beginRemoveRows({}, first, last); });
    });
    connect(&list, &Model::rowsRemoved, this, [this] { listChanged([this] { endRemoveRows(); }); });
    connect(&list, &Model::rowsAboutToBeMoved, this,
            [this](const QModelIndex &, int first, int last, const QModelIndex &, int before) {
                listAboutToChange(false, [&] { beginMoveRows({}, first, last, {}, before); });
            });
    connect(&list, &Model::rowsMoved, this, [this] { listChanged([this] { endMoveRows(); }); });
    connect(&list, &Model::layoutAboutToBeChanged, this, [this] { listAboutToChange(true, [] {}); });
    connect(&list, &Model::layoutChanged, this, [this] { listChanged([] {}); });
    connect(&list, &Model::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&list, &Model::modelReset, this, [this] {
        m_stale = true;
        if (m_search.active())
            reindex();
        endResetModel();
    });
    connect(&list, &Model::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                if (!m_search.active()) {
                    m_stale = true;
                    emit dataChanged(index(topLeft.row(), topLeft.column()),
                                     index(bottomRight.row(), bottomRight.column()), roles);
                    return;
                }
                // A new name or assembly may enter or leave the search.
                listAboutToChange(true, [] {});
                listChanged([] {});
            });
    connect(&list, &Model::headerDataChanged, this, &SearchProxy::headerDataChanged);
}

void SearchProxy::setText(const QString &text)
{
    const std::string bytes = cp1252::fromUnicode(text);
    if (!m_list || (bytes.empty() && !m_search.active()))
        return;
    if (m_stale && !reindex())
        return;
    beginLayout();
    m_search.setText(bytes);
    endLayout();
}

bool SearchProxy::reindex()
{
    try {
        m_search.index(m_list->entries());
        m_stale = false;
        return true;
    } catch (const std::bad_alloc &) {
        // Without the memory for the search every row shows, as with an empty field.
        m_search = {};
        m_stale = true;
        emit searchDropped();
        return false;
    }
}

template <typename Begin>
void SearchProxy::listAboutToChange(bool layout, Begin begin)
{
    m_layouting = layout || m_search.active();
    if (m_layouting)
        beginLayout();
    else
        begin();
}

template <typename End>
void SearchProxy::listChanged(End end)
{
    m_stale = true;
    if (!m_layouting) {
        end();
        return;
    }
    m_layouting = false;
    if (m_search.active())
        reindex();
    endLayout();
}

// The rows change in one step: the persistent indexes (the view's selection, current row and open
// editor) are held on the list's entries meanwhile, and come back on the rows that show them now,
// or as invalid when their entry left the view. Only rows change, never columns, as in a sort.
void SearchProxy::beginLayout()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_savedRows = persistentIndexList();
    m_savedEntries.clear();
    m_savedEntries.reserve(m_savedRows.size());
    for (const QModelIndex &idx : std::as_const(m_savedRows))
        m_savedEntries.append(QPersistentModelIndex(source(idx)));
}

void SearchProxy::endLayout()
{
    QModelIndexList to;
    to.reserve(m_savedEntries.size());
    for (const QPersistentModelIndex &entry : std::as_const(m_savedEntries)) {
        const int row = entry.isValid() ? rowOf(entry.row()) : -1;
        to.append(row >= 0 ? index(row, entry.column()) : QModelIndex());
    }
    changePersistentIndexList(m_savedRows, to);
    m_savedRows.clear();
    m_savedEntries.clear();
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int SearchProxy::listRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return -1;
    return m_search.active() ? m_search.match(row) : row;
}

int SearchProxy::rowOf(int listRow) const
{
    if (!m_list || listRow < 0 || listRow >= m_list->count())
        return -1;
    if (!m_search.active())
        return listRow;
    return m_search.shows(listRow) ? m_search.rankOf(listRow) : -1;
}

QModelIndex SearchProxy::source(const QModelIndex &index) const
{
    // Each index carries the list row it shows.
    return index.isValid() && m_list ? m_list->index(static_cast<int>(index.internalId()), index.column())
                                     : QModelIndex();
}

int SearchProxy::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_list)
        return 0;
    return m_search.active() ? m_search.matchCount() : m_list->count();
}

int SearchProxy::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_list ? 0 : m_list->columnCount();
}

QModelIndex SearchProxy::index(int row, int column, const QModelIndex &parent) const
{
    // Asked for every row the view lays out: one look at the search each.
    if (parent.isValid() || row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
        return {};
    return createIndex(row, column, static_cast<quintptr>(m_search.active() ? m_search.match(row) : row));
}

QVariant SearchProxy::data(const QModelIndex &index, int role) const
{
    const QModelIndex entry = source(index);
    return entry.isValid() ? m_list->data(entry, role) : QVariant();
}

bool SearchProxy::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QModelIndex entry = source(index);
    return entry.isValid() && m_list->setData(entry, value, role);
}

QVariant SearchProxy::headerData(int section, Qt::Orientation orientation, int role) const
{
    return m_list ? m_list->headerData(section, orientation, role) : QVariant();
}

Qt::ItemFlags SearchProxy::flags(const QModelIndex &index) const
{
    return m_list ? m_list->flags(source(index)) : Qt::NoItemFlags;
}
