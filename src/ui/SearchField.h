#pragma once

#include <QWidget>

class EntryList;
class ListView;
class QLabel;
class QLineEdit;
class SearchProxy;

// The search field over a list view: it stands above the view, and the view shows only the rows
// whose name or assembly contains the typed text (case, accents, umlauts and ß/ss aside), beside it
// "12 von 480". The view shows the list through a SearchProxy, so only the view's rows are left
// out: the list, its order and everything that reads it stay as they are, and a change of the list
// keeps the search applied. A selected row the search hides is no longer selected, so no command
// acts on a row the user cannot see.
//
// Keys in the field: Down moves into the view onto the first match, Escape clears the field, and
// Return asks for the selected shown row (or else the first match) to be picked and selects the
// text, so the next search is typed over it. Strg+F anywhere in window focuses the field.
class SearchField : public QWidget {
    Q_OBJECT

public:
    SearchField(ListView &view, EntryList &list, QWidget *window);

    QLineEdit *edit() const { return m_edit; }
    QLabel *countLabel() const { return m_count; }
    const SearchProxy &rows() const { return *m_rows; }
    // Applies text as typing it would (for tests and benchmarks without key events).
    void search(const QString &text);

signals:
    void picked(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCount();
    int pickRow() const;

    ListView &m_view;
    SearchProxy *m_rows;
    QLineEdit *m_edit;
    QLabel *m_count;
};
