#pragma once

#include "editing/CatalogSearch.h"

#include <QAbstractTableModel>
#include <QPersistentModelIndex>

class EntryList;

// The model a list's view shows while it can be searched: the list's rows, or while a text is
// searched only the rows whose name or assembly contains it, in the list's order. Nothing is copied:
// a row of this model reads the list's entry through the search's map, and editing a cell edits the
// entry. Without a text every change of the list passes through as it is; with one, a change of the
// list searches the changed list again and shows as one layout change, and a selected or current
// row the search leaves out is dropped from the view's selection.
class SearchProxy final : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit SearchProxy(EntryList &list, QObject *parent = nullptr);

    // The list shown; null once it is gone (the view is empty then).
    EntryList *list() const { return m_list; }
    const editing::CatalogSearch &search() const { return m_search; }
    // Searches for text; an empty text shows every row.
    void setText(const QString &text);
    // The list row this model shows at row, and the model's row of a list row (-1 when left out).
    int listRow(int row) const;
    int rowOf(int listRow) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The search was given up for want of memory: every row shows, as with an empty text.
    void searchDropped();

private:
    QModelIndex source(const QModelIndex &index) const;
    bool reindex();
    // A change of the list's rows: passed on as it is without a text, as a layout change with one
    // (or when it is one, layout).
    template <typename Begin>
    void listAboutToChange(bool layout, Begin begin);
    template <typename End>
    void listChanged(End end);
    void beginLayout();
    void endLayout();

    EntryList *m_list;
    editing::CatalogSearch m_search;
    bool m_stale = true;       // the search's index no longer matches the list
    bool m_layouting = false;  // a change of the list shows as a layout change
    QModelIndexList m_savedRows;
    QList<QPersistentModelIndex> m_savedEntries;
};
