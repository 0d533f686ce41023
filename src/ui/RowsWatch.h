#pragma once

#include <QObject>

class QAbstractItemModel;

// Notes, for as long as it lives, whether a list's rows were replaced: reset, inserted, removed or
// moved. A handler keeps one across a question about a whole list; the watch of the default file can
// reload the lists while the question is open, and then the answer no longer applies to them.
// Captions set meanwhile (an in-place edit ending as the question takes the focus) and re-sorts do
// not count.
class RowsWatch {
public:
    explicit RowsWatch(const QAbstractItemModel &model);

    bool rowsReplaced() const { return m_replaced; }

private:
    QObject m_context; // ends the connections with the watch
    bool m_replaced = false;
};
