#include "ui/ListView.h"

#include "editing/SortState.h"
#include "ui/AccessibleNames.h"
#include "ui/Contrast.h"
#include "ui/SearchProxy.h"

#include <QAccessible>
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

#include <limits>

namespace {

const QString kDragMime = QStringLiteral("application/x-maengelliste-entry");

// Paints one icon on every row and underlines the row under the pointer.
class RowDelegate : public QStyledItemDelegate {
public:
    explicit RowDelegate(ListView *view) : QStyledItemDelegate(view), m_view(view) {}

    // The caption editor takes texts of any length (a line edit stops at 32,767 characters unless
    // told otherwise).
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setMaxLength(std::numeric_limits<int>::max());
        // A screen reader names the editor after the column it edits.
        if (editor)
            editor->setAccessibleName(index.model()->headerData(index.column(), Qt::Horizontal).toString());
        return editor;
    }

    // Return stores the text and closes the editor at once. Qt's own handling stores it only after
    // the events already waiting, so keys typed in the same burst (a Tab, the next command's keys)
    // still reached the open editor, and a Tab there opened the editor on the next entry.
    bool eventFilter(QObject *object, QEvent *event) override
    {
        auto *editor = qobject_cast<QWidget *>(object);
        if (editor && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                emit commitData(editor);
                emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

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
        // Where the keys go shows: the list with the focus has its selection in blue, the others in
        // grey, also while the window is inactive.
        const bool focused = m_view->hasFocus();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            option->palette.setColor(group, QPalette::Highlight,
                                     focused ? contrast::kFocusedSelection : contrast::kSelection);
            option->palette.setColor(group, QPalette::HighlightedText,
                                     focused ? contrast::kFocusedSelectionText : contrast::kSelectionText);
        }
    }

    // A cell too narrow for its text shows the whole text as its tooltip.
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (sizeHint(option, index).width() > option.rect.width() && !text.isEmpty()) {
            QToolTip::showText(event->globalPos(), ListView::cutTextTip(text), view->viewport(), option.rect);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }

private:
    ListView *m_view;
};

// The frame that marks the list with the focus: two pixels round the whole view, over its border,
// its header and its rows, in the colour of the focused selection where that stands out against
// the window, else in black or white.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget *view) : QWidget(view)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const QColor window = parentWidget()->palette().color(QPalette::Window);
        const QColor colour = contrast::ratio(contrast::kFocusedSelection, window) >= 4.5 ? contrast::kFocusedSelection
                                                                                          : contrast::outlineAgainst(window);
        QPainter painter(this);
        painter.setPen(QPen(colour, kWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(kWidth / 2.0, kWidth / 2.0, -kWidth / 2.0, -kWidth / 2.0));
    }

private:
    static constexpr int kWidth = 2;
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
    // The columns share the width (applyColumnShares); the user may drag a header edge, the last
    // column takes what is left.
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    header()->setSortIndicatorShown(true);
    connect(header(), &QHeaderView::sectionClicked, this, &ListView::columnClick);
    // A click turns the header's arrow by itself; the arrow shows the order the rows stand in, which
    // only the window knows.
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this](int column, Qt::SortOrder order) {
        if (column != m_shownSortColumn || (column >= 0 && order != m_shownSortOrder))
            header()->setSortIndicator(m_shownSortColumn, m_shownSortOrder);
    });
    connect(header(), &QHeaderView::sectionResized, this, [this](int section) { takeColumnShares(section); });

    // The selection stays visible when the view loses the focus (the delegate greys it then).
    QPalette pal = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, contrast::kFocusedSelection);
        pal.setColor(group, QPalette::HighlightedText, contrast::kFocusedSelectionText);
    }
    setPalette(pal);

    m_focusFrame = new FocusFrame(this);

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(kHoverTimeMs);
    connect(&m_hoverTimer, &QTimer::timeout, this, &ListView::hoverSelect);
}

int ListView::selectedRow() const
{
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : listRow(rows.front());
}

int ListView::listRow(const QModelIndex &index) const
{
    if (!index.isValid())
        return -1;
    const auto *proxy = qobject_cast<const SearchProxy *>(model());
    return proxy ? proxy->listRow(index.row()) : index.row();
}

QModelIndex ListView::indexOfRow(int row) const
{
    if (!model())
        return {};
    const auto *proxy = qobject_cast<const SearchProxy *>(model());
    return model()->index(proxy ? proxy->rowOf(row) : row, 0);
}

int ListView::rowAt(QPoint pos) const
{
    return listRow(indexAt(pos));
}

void ListView::selectRow(int row)
{
    selectIndex(indexOfRow(row));
}

void ListView::selectIndex(const QModelIndex &idx)
{
    if (!idx.isValid())
        return;
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(idx);
}

void ListView::openEditor(int row)
{
    const QModelIndex idx = indexOfRow(row);
    if (!idx.isValid())
        return;
    setFocus(Qt::OtherFocusReason);
    selectRow(row);
    // The editor may stay closed (see edit()): the public edit() would warn about that.
    edit(idx, QAbstractItemView::AllEditTriggers, nullptr);
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2: {
        // Enter and F2 start the caption editor as Return does.
        const int key = event->key();
        emit keyDown(key == Qt::Key_Delete || key == Qt::Key_Insert ? key : Qt::Key_Return, event->modifiers());
        event->accept();
        return;
    }
    default:
        break;
    }
    // Ctrl+1, Ctrl+2, ...: what a click on the first, second, ... column header does.
    const int column = event->key() - Qt::Key_1;
    if (event->modifiers() == Qt::ControlModifier && column >= 0 && column < header()->count() && column < 9) {
        emit columnClick(column);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ListView::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    // Coming in by the keyboard, the current row is the selected one, so that the arrow keys and the
    // commands on the selected entry have something to act on.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        && selectedRow() < 0 && model() && model()->rowCount() > 0) {
        const QModelIndex current = currentIndex();
        selectIndex(current.isValid() ? current.siblingAtColumn(0) : model()->index(0, 0));
    }
    m_focusFrame->setVisible(hasFocus());
    viewport()->update();
    announceCurrentRowLater();
}

void ListView::focusOutEvent(QFocusEvent *event)
{
    QTreeView::focusOutEvent(event);
    m_focusFrame->setVisible(hasFocus());
    viewport()->update();
}

void ListView::resizeEvent(QResizeEvent *event)
{
    QTreeView::resizeEvent(event);
    m_focusFrame->setGeometry(rect());
    m_focusFrame->raise();
}

void ListView::announceCurrentRowLater()
{
    QTimer::singleShot(0, this, &ListView::announceCurrentRow);
}

void ListView::announceCurrentRow()
{
    // The focus event of the view with the current row's first cell as its child: screen readers
    // name that row and say whether it is selected.
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid() || !accessiblenames::listening())
        return;
    executeDelayedItemsLayout(); // the rows a removal left, as the accessible table counts them
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(this);
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    QAccessibleInterface *cell = table ? table->cellAt(current.row(), 0) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(list->indexOfChild(cell));
    accessiblenames::announce(event);
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
    if (event->type() == QEvent::Resize)
        applyColumnShares();
    return QTreeView::viewportEvent(event);
}

void ListView::hoverSelect()
{
    if (m_hoverCandidate < 0 || m_hoverCandidate != m_hoverRow || isEditing())
        return;
    const QModelIndex idx = model()->index(m_hoverCandidate, 0);
    if (selectedRow() != listRow(idx))
        selectIndex(idx);
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
    const qsizetype length = index.siblingAtColumn(0).data(Qt::EditRole).toString().size();
    if (length > kMaxEditLength) {
        if (m_tooLong)
            m_tooLong(length);
        return false;
    }
    const bool opened = QTreeView::edit(index.siblingAtColumn(0), trigger, event);
    if (opened)
        m_editIndex = index.siblingAtColumn(0);
    return opened;
}

QString ListView::tooLongText(qsizetype length)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    return QStringLiteral("Der Name ist zu lang, um ihn hier zu bearbeiten: Er hat %1 Zeichen, bearbeiten lassen "
                          "sich bis zu %2. Der Name bleibt, wie er ist.")
        .arg(german.toString(length), german.toString(kMaxEditLength));
}

void ListView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Tab and Backtab in the editor have stored its text; they end the edit and move the focus on as
    // they do from the view, instead of opening the editor on the neighbouring entry and selecting it.
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    const bool onwards = forward || hint == QAbstractItemDelegate::EditPreviousItem;
    QTreeView::closeEditor(editor, onwards ? QAbstractItemDelegate::NoHint : hint);
    if (onwards && hasFocus())
        focusNextPrevChild(forward);
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
    // Removing the current entry leaves the view without a selection; it neither selects a
    // neighbour nor reports a change. The next shown entry (the one before, when none follows)
    // becomes current, unselected, so that the arrow keys and the space bar go on from there, and a
    // screen reader hears of it.
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= start && current.row() <= end) {
        const int rows = model()->rowCount(parent);
        int next = end + 1;
        while (next < rows && isRowHidden(next, parent))
            ++next;
        if (next >= rows) {
            next = start - 1;
            while (next >= 0 && isRowHidden(next, parent))
                --next;
        }
        const QSignalBlocker quiet(selectionModel());
        selectionModel()->clearSelection();
        if (next >= 0)
            selectionModel()->setCurrentIndex(model()->index(next, 0, parent), QItemSelectionModel::NoUpdate);
        else
            selectionModel()->clearCurrentIndex();
        announceCurrentRowLater();
    }
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void ListView::setModel(QAbstractItemModel *model)
{
    QTreeView::setModel(model);
    const int columns = model ? model->columnCount() : 0;
    m_columnShares.assign(static_cast<size_t>(columns), columns > 0 ? 1.0 / columns : 0.0);
    applyColumnShares();
    describeSortOrder();
}

void ListView::showSortIndicator(const SortState *state)
{
    m_shownSortColumn = state ? std::clamp(state->SortColumn, 0, std::max(0, header()->count() - 1)) : -1;
    m_shownSortOrder = state && state->Descending ? Qt::DescendingOrder : Qt::AscendingOrder;
    header()->setSortIndicator(m_shownSortColumn, m_shownSortOrder);
    describeSortOrder();
}

void ListView::describeSortOrder()
{
    const int column = header()->sortIndicatorSection();
    if (!model() || column < 0 || column >= header()->count()) {
        setAccessibleDescription(QStringLiteral("Nicht sortiert"));
        return;
    }
    setAccessibleDescription(QStringLiteral("Sortiert nach %1, %2")
                                 .arg(model()->headerData(column, Qt::Horizontal).toString(),
                                      header()->sortIndicatorOrder() == Qt::DescendingOrder ? QStringLiteral("absteigend")
                                                                                            : QStringLiteral("aufsteigend")));
}

QString ListView::cutTextTip(const QString &text)
{
    if (text.size() <= kMaxTipLength)
        return text;
    return text.left(kMaxTipLength) + QStringLiteral("…");
}

void ListView::applyColumnShares()
{
    const int columns = header()->count();
    if (columns < 2 || static_cast<int>(m_columnShares.size()) != columns)
        return;
    // Every column but the last gets its share; the last stretches over the rest.
    const int width = viewport()->width();
    const QScopedValueRollback<bool> sizing(m_sizingColumns, true);
    for (int c = 0; c + 1 < columns; ++c)
        header()->resizeSection(c, std::max(header()->minimumSectionSize(),
                                            static_cast<int>(m_columnShares[static_cast<size_t>(c)] * width + 0.5)));
}

void ListView::takeColumnShares(int section)
{
    const int columns = header()->count();
    const int width = viewport()->width();
    if (m_sizingColumns || columns < 2 || width <= 0 || section + 1 >= columns ||
        static_cast<int>(m_columnShares.size()) != columns)
        return;
    // A drag never pushes the last column out of sight.
    const int room = width - header()->sectionPosition(section) - header()->minimumSectionSize();
    if (header()->sectionSize(section) > room) {
        const QScopedValueRollback<bool> sizing(m_sizingColumns, true);
        header()->resizeSection(section, std::max(header()->minimumSectionSize(), room));
    }
    m_columnShares[static_cast<size_t>(section)] = double(header()->sectionSize(section)) / width;
    double last = 1.0;
    for (int c = 0; c + 1 < columns; ++c)
        last -= m_columnShares[static_cast<size_t>(c)];
    m_columnShares.back() = std::max(0.0, last);
}
