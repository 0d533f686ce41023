#include "ui/SearchField.h"

#include "document/EntryList.h"
#include "ui/ListView.h"
#include "ui/SearchProxy.h"

#include <QAction>
#include <QBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

SearchField::SearchField(ListView &view, EntryList &list, QWidget *window)
    : QWidget(view.parentWidget()),
      m_view(view),
      m_rows(new SearchProxy(list, this)),
      m_edit(new QLineEdit(this)),
      m_count(new QLabel(this))
{
    m_edit->setObjectName(QStringLiteral("SearchEdit"));
    m_edit->setPlaceholderText(QStringLiteral("Suchen (Strg+F)"));
    m_edit->setAccessibleName(QStringLiteral("Suchen"));
    // The clear button carries the program's own icon, as every other button of the window does (the
    // style's would have Qt read the desktop's whole icon theme before the window is shown).
    QAction *clear = m_edit->addAction(QIcon(QStringLiteral(":/icons/clearfield.svg")), QLineEdit::TrailingPosition);
    clear->setObjectName(QStringLiteral("SearchClear"));
    clear->setToolTip(QStringLiteral("Suche leeren"));
    clear->setVisible(false);
    connect(clear, &QAction::triggered, m_edit, &QLineEdit::clear);
    connect(m_edit, &QLineEdit::textChanged, clear, [clear](const QString &text) { clear->setVisible(!text.isEmpty()); });
    m_edit->installEventFilter(this);
    m_count->setAccessibleName(QStringLiteral("Treffer"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->addWidget(m_edit, 1);
    row->addWidget(m_count);
    if (auto *column = qobject_cast<QBoxLayout *>(view.parentWidget()->layout()))
        column->insertWidget(column->indexOf(&view), this);
    // In the focus chain just before the view.
    QWidget *before = view.previousInFocusChain();
    if (before && before != &view && before->window() == view.window())
        QWidget::setTabOrder(before, m_edit);
    QWidget::setTabOrder(m_edit, &view);

    auto *find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), window);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        m_edit->setFocus(Qt::ShortcutFocusReason);
        m_edit->selectAll();
    });
    view.setModel(m_rows);
    connect(m_edit, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_rows->setText(text);
        showCount();
    });
    // A change of the list with a text set arrives as a layout change.
    connect(m_rows, &SearchProxy::layoutChanged, this, &SearchField::showCount);
    connect(m_rows, &SearchProxy::searchDropped, m_edit, &QLineEdit::clear, Qt::QueuedConnection);
}

void SearchField::search(const QString &text)
{
    m_edit->setText(text);
}

void SearchField::showCount()
{
    const editing::CatalogSearch &search = m_rows->search();
    m_count->setText(search.active() && m_rows->list()
                         ? QStringLiteral("%1 von %2").arg(search.matchCount()).arg(m_rows->list()->count())
                         : QString());
}

int SearchField::pickRow() const
{
    const int selected = m_view.selectedRow();
    if (selected >= 0)
        return selected; // a hidden row is never selected
    return m_rows->search().active() ? m_rows->listRow(0) : -1;
}

bool SearchField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (key->key()) {
    case Qt::Key_Down:
        if (m_rows->rowCount() > 0) {
            m_view.setFocus(Qt::TabFocusReason);
            if (m_rows->search().active())
                m_view.selectRow(m_rows->listRow(0));
        }
        return true;
    case Qt::Key_Escape:
        m_edit->clear();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int row = pickRow(); row >= 0)
            emit picked(row);
        m_edit->setFocus(Qt::OtherFocusReason);
        m_edit->selectAll();
        return true;
    default:
        return false;
    }
}
