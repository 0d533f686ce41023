#include "ui/SearchField.h"

#include "document/Cp1252.h"
#include "document/EntryList.h"
#include "ui/ListView.h"

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
      m_list(list),
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
    connect(m_edit, &QLineEdit::textChanged, this, &SearchField::textChanged);
    // The view has taken each change before the field hears of it (it was connected first).
    connect(&list, &EntryList::rowsInserted, this, &SearchField::listChanged);
    connect(&list, &EntryList::rowsRemoved, this, &SearchField::listChanged);
    connect(&list, &EntryList::rowsMoved, this, &SearchField::listChanged);
    connect(&list, &EntryList::modelReset, this, &SearchField::listChanged);
    connect(&list, &EntryList::layoutChanged, this, &SearchField::listChanged);
    connect(&list, &EntryList::dataChanged, this, &SearchField::listChanged);
}

void SearchField::search(const QString &text)
{
    m_edit->setText(text);
}

void SearchField::setShown(int row, bool shown)
{
    if (m_view.isRowHidden(row, {}) == shown)
        m_view.setRowHidden(row, {}, !shown);
}

void SearchField::textChanged(const QString &text)
{
    const auto shown = [this](int row, bool on) { setShown(row, on); };
    if (m_stale) {
        // Nothing is hidden while the field is empty, so the rows need no report here.
        m_search.index(m_list.entries());
        m_stale = false;
    }
    m_search.setText(cp1252::fromUnicode(text), shown);
    finish();
}

void SearchField::listChanged()
{
    if (!m_search.active()) {
        m_stale = true;
        return;
    }
    m_search.index(m_list.entries(), [this](int row, bool on) { setShown(row, on); });
    m_stale = false;
    finish();
}

void SearchField::finish()
{
    const int selected = m_view.selectedRow();
    if (selected >= 0 && m_view.isRowHidden(selected, {}))
        m_view.selectionModel()->clear();
    m_count->setText(m_search.active() ? QStringLiteral("%1 von %2").arg(m_search.matches().size()).arg(m_list.count())
                                       : QString());
}

int SearchField::pickRow() const
{
    const int selected = m_view.selectedRow();
    if (selected >= 0)
        return selected; // a hidden row is never selected
    return m_search.active() && !m_search.matches().empty() ? static_cast<int>(m_search.matches().front()) : -1;
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
        if (m_search.active() && !m_search.matches().empty()) {
            m_view.setFocus(Qt::TabFocusReason);
            m_view.selectRow(static_cast<int>(m_search.matches().front()));
        } else if (!m_search.active() && m_list.count() > 0) {
            m_view.setFocus(Qt::TabFocusReason);
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
