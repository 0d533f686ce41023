#include "ui/ListView.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

const QString kDragMime = QStringLiteral("application/x-maengelliste-entry");

// Paints one icon on every row and underlines the row under the pointer.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(ListView *view) : QStyledItemDelegate(view), m_view(view) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == 0 && !m_view->rowIcon().isNull()) {
            option->features |= QStyleOptionViewItem::HasDecoration;
            option->icon = m_view->rowIcon();
        }
        if (index.row() == m_view->hoverRow())
            option->font.setUnderline(true);
    }

private:
    ListView *m_view;
};

} // namespace

ListView::ListView(QWidget *parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
    setMouseTracking(true);
    setItemDelegate(new RowDelegate(this));
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(QHeaderView::Stretch);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClick);

    // The selection stays visible when the view loses the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverTimeMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &ListView::hoverSelect);
}

int ListView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}

void ListView::selectRow(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex idx = model()->index(row, 0);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
}

void ListView::openEditor(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    setFocus(Qt::OtherFocusReason);
    selectRow(row);
    QTreeView::edit(model()->index(row, 0));
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        // Enter and F2 start the caption editor as Return does.
        emit keyDown(event->key() == Qt::Key_Delete ? Qt::Key_Delete : Qt::Key_Return, event->modifiers());
        event->accept();
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // Only the press selects; the double-click itself is the window's business.
    QTreeView::mousePressEvent(event);
    emit dblClick();
    event->accept();
}

void ListView::mouseMoveEvent(QMouseEvent *event)
{
    const QModelIndex idx = indexAt(event->position().toPoint());
    setHoverRow(idx.isValid() ? idx.row() : -1);
    if (idx.isValid() && event->buttons() == Qt::NoButton) {
        if (idx.row() != m_hoverCandidate || !m_hoverTimer.isActive()) {
            m_hoverCandidate = idx.row();
            m_hoverTimer.start();
        }
    } else {
        m_hoverTimer.stop();
        m_hoverCandidate = -1;
    }
    QTreeView::mouseMoveEvent(event);
}

void ListView::leaveEvent(QEvent *event)
{
    m_hoverTimer.stop();
    m_hoverCandidate = -1;
    setHoverRow(-1);
    QTreeView::leaveEvent(event);
}

bool ListView::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Leave) {
        m_hoverTimer.stop();
        setHoverRow(-1);
    }
    return QTreeView::viewportEvent(event);
}

void ListView::hoverSelect()
{
    if (m_hoverCandidate < 0 || m_hoverCandidate != m_hoverRow || isEditing())
        return;
    if (selectedRow() != m_hoverCandidate)
        selectRow(m_hoverCandidate);
}

void ListView::setHoverRow(int row)
{
    if (row == m_hoverRow)
        return;
    const int old = m_hoverRow;
    m_hoverRow = row;
    viewport()->setCursor(row >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (model()) {
        for (int r : {old, row}) {
            if (r >= 0 && r < model()->rowCount())
                viewport()->update(visualRect(model()->index(r, 0)).united(visualRect(model()->index(r, model()->columnCount() - 1))));
        }
    }
}

void ListView::startDrag(Qt::DropActions)
{
    if (selectedRow() < 0)
        return;
    auto *mime = new QMimeData;
    mime->setData(kDragMime, QByteArray());
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!m_rowIcon.isNull())
        drag->setPixmap(m_rowIcon.pixmap(16, 16));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

bool ListView::acceptsDrag(const QDropEvent *event) const
{
    return event->mimeData()->hasFormat(kDragMime) && m_acceptDrop && m_acceptDrop(event->source());
}

void ListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ListView::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasFormat(kDragMime)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit dropped(event->position().toPoint(), event->source());
}

void ListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QTreeView::drawRow(painter, option, index);
    // Grid lines: one under every row and one after every column.
    painter->save();
    painter->setPen(palette().color(QPalette::Midlight).darker(110));
    const QRect r = option.rect;
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    for (int c = 0; c < header()->count(); ++c) {
        const int x = columnViewportPosition(c) + columnWidth(c) - 1;
        painter->drawLine(x, r.top(), x, r.bottom());
    }
    painter->restore();
}

bool ListView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    // Only the window opens the editor (openEditor); no gesture of the view's own does.
    if (trigger != QAbstractItemView::AllEditTriggers)
        return false;
    if (m_approveChange && !m_approveChange())
        return false;
    const bool opened = QTreeView::edit(index.siblingAtColumn(0), trigger, event);
    if (opened)
        m_editIndex = index.siblingAtColumn(0);
    return opened;
}

void ListView::finishEditing()
{
    if (!isEditing() || !m_editIndex.isValid())
        return;
    if (QWidget *editor = indexWidget(m_editIndex)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ListView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    // Removing the selected entry leaves the view without a selection; it neither selects a
    // neighbour nor reports a change.
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= start && current.row() <= end) {
        const QSignalBlocker quiet(selectionModel());
        selectionModel()->clear();
    }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}
