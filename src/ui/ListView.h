#pragma once

#include <QIcon>
#include <QPoint>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <vector>

struct SortState;

// A report-style list view over an EntryList: whole-row single selection that stays visible
// without focus, grid lines, one icon for every row, hover selection after the hover time, a hand
// pointer and an underlined row under the pointer, in-place caption editing on request only, and
// a drag started by press-and-move. Keys, double-clicks, header clicks and drops are handed to the
// window through signals; the view decides nothing itself. While it has the focus, a frame runs
// round the whole view, and a screen reader hears of the current row whenever the view gains the
// focus or its current row is removed (the next row becomes current, unselected).
class ListView : public QTreeView {
    Q_OBJECT

public:
    explicit ListView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    void setRowIcon(const QIcon &icon) { m_rowIcon = icon; }
    const QIcon &rowIcon() const { return m_rowIcon; }
    int hoverRow() const { return m_hoverRow; }

    // Rows here are the list's rows, also when the view shows only some of them (a SearchProxy as
    // its model); a row the view leaves out is neither selected nor edited.
    // The selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
    // Takes the focus, selects the row and opens the caption editor on it.
    void openEditor(int row);
    // The row under pos in the viewport, or -1.
    int rowAt(QPoint pos) const;
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // Whether the view accepts a drag over it (decided by the window).
    void setDropAcceptor(std::function<bool(QObject *source)> acceptor) { m_acceptDrop = std::move(acceptor); }
    // Asked before the caption editor opens; false keeps the entry as it is.
    void setChangeApprover(std::function<bool()> approver) { m_approveChange = std::move(approver); }
    // Ends an open caption edit and stores its text.
    void finishEditing();
    // Called instead of opening the caption editor on a caption longer than kMaxEditLength, with its
    // length; the caption stays as it is.
    void setTooLongNotice(std::function<void(qsizetype length)> notice) { m_tooLong = std::move(notice); }
    // The caption and text of the message for such a caption.
    static QString tooLongCaption() { return QStringLiteral("Name bearbeiten"); }
    static QString tooLongText(qsizetype length);

    // Shows the order the rows stand in: the state's column and direction in the header and in the
    // accessible description ("Sortiert nach Name, aufsteigend"); nullptr: no arrow, "Nicht sortiert".
    void showSortIndicator(const SortState *state);
    // The share of the view's width each column gets; the columns keep their shares when the view
    // is resized, and dragging a header edge sets new ones, kept as long as the view lives.
    const std::vector<double> &columnShares() const { return m_columnShares; }
    // The text a cell shows as its tooltip when the cell cuts it: the whole text, up to this length.
    static QString cutTextTip(const QString &text);

    static constexpr int kHoverTimeMs = 400;
    static constexpr int kMaxTipLength = 1000;
    // The longest caption the editor opens on. A line edit lays out its whole text whenever it paints
    // or changes: a name of this length opens in a few milliseconds, one of a million characters froze
    // the window for a second, and no editor shows such a line faster.
    static constexpr qsizetype kMaxEditLength = 32767;

signals:
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void dblClick();
    void columnClick(int column);
    void dropped(QPoint pos, QObject *source);

protected:
    // Ctrl+1, Ctrl+2, ... sort as a click on that column's header does.
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool viewportEvent(QEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    int listRow(const QModelIndex &index) const;
    QModelIndex indexOfRow(int row) const;
    void selectIndex(const QModelIndex &idx);
    bool acceptsDrag(const QDropEvent *event) const;
    void hoverSelect();
    void setHoverRow(int row);
    void applyColumnShares();
    void describeSortOrder();
    void takeColumnShares(int section);
    // Tells a screen reader which row is current, after the events already waiting (among them
    // the announcement of the view itself, which would otherwise come last).
    void announceCurrentRowLater();
    void announceCurrentRow();

    QIcon m_rowIcon;
    QTimer m_hoverTimer;
    int m_hoverRow = -1;
    int m_hoverCandidate = -1;
    std::function<bool(QObject *)> m_acceptDrop;
    std::function<bool()> m_approveChange;
    std::function<void(qsizetype)> m_tooLong;
    QPersistentModelIndex m_editIndex;
    std::vector<double> m_columnShares;
    bool m_sizingColumns = false;
    QWidget *m_focusFrame = nullptr;
    int m_shownSortColumn = -1;
    Qt::SortOrder m_shownSortOrder = Qt::AscendingOrder;
};
